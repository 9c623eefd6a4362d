#pragma once
// Draws a report: the template filled with the report data, page after
// page, into a printer, a PDF writer or any paged device.

#include "reports/ReportData.h"
#include "reports/ReportTemplate.h"

#include <QStringList>

class QPagedPaintDevice;

class ReportRenderer {
public:
    // Both must outlive the renderer.
    ReportRenderer(const ReportTemplate &report, const ReportData &data);

    // Sets the device's page size and orientation from the template, then
    // draws every page. Throws std::runtime_error when the device cannot be
    // painted on or the template is wrong. Returns the number of pages.
    int render(QPagedPaintDevice &device);

    // The field names the template used that the report does not know,
    // after render().
    const QStringList &unknownFields() const { return unknown_; }

private:
    const ReportTemplate &template_;
    const ReportData &data_;
    QStringList unknown_;
};
