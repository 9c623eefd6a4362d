#pragma once
// A report template: the XML a practice edits to shape its reports, parsed
// into a tree the layout walks. The language, in full:
//
//   <report pageSize="A4" orientation="portrait" margin="12">
//     <header height="16"> ...blocks... </header>   top of every page
//     <footer height="8"> ...blocks... </footer>    bottom of every page
//     <body> ...blocks... </body>                   the content, page after page
//   </report>
//
// pageSize is "A4" or "Letter", orientation "portrait" or "landscape";
// margin, height, width and every other length are millimetres. Blocks
// stack from top to bottom; a block that does not fit on what is left of
// the page starts a new one (a table continues on the next page and repeats
// its column titles there). Header and footer never break: a block that
// does not fit their height is left out.
//
// Blocks (every block takes if="FIELD": it is left out when that field is
// empty, so one template serves treadmill and ergometer tests):
//   <text size="10" bold="true" italic="true" align="left|center|right">
//       Words and [fields]</text>          a paragraph, wrapped to the width
//   <row> <text width="90">..</text> <image width="30" .../> <text>..</text> </row>
//                                          blocks side by side; a child
//                                          without width shares what is left
//   <fields columns="2" size="9" labelWidth="32">
//       <field label="Name">[patientName]</field> ... </fields>
//                                          label/value pairs in columns
//   <table repeat="stage" size="8">
//       <column title="HR" width="14" align="right">[stage/HR]</column> ...
//   </table>                               one row per entry of the set
//   <repeat over="event"> ...blocks... </repeat>
//                                          the blocks once per entry; inside,
//                                          [event/...] names that entry
//   <image source="[headerLogo]" width="40" height="15"/>
//                                          a picture file (or ":/..."
//                                          resource), scaled to fit, kept
//                                          in proportion; nothing when empty
//   <barcode type="qr|datamatrix|code128" data="[studyId]" width="20" height="20"/>
//                                          a symbol of the data, scaled to
//                                          fit, kept in proportion; nothing
//                                          when the data is empty
//   <trend series="BPMTrend" title="HR" height="40" yMin="40" yMax="200"
//          color="#c00000"/>               a trend of the study against time
//   <ecg event="[event/index]" layout="12by1|6by2|4by3" seconds="10"
//        speed="25" gain="10" rhythm="II" filters="all|none"
//        leads="I,II,III" strip="rhythm" title="Limb leads"/>
//                                          the study's ECG from the event's
//                                          start, at true scale (a 1 mV pulse
//                                          is `gain` mm on paper, one second
//                                          `speed` mm); event="last" is the
//                                          last event, event="start" the
//                                          recording from its beginning (a
//                                          resting ECG, titled by `title`);
//                                          layout and rhythm default to the
//                                          report's. 4by3 adds the rhythm
//                                          lead below its grid. leads= keeps
//                                          only the leads named; strip="rhythm"
//                                          draws the rhythm lead alone across
//                                          the whole time (II, else the first
//                                          lead, when the study lacks it).
//                                          Speed, gain and filters are printed
//                                          above the traces, and every row
//                                          starts with its calibration pulse.
//   <averagebeats moment="rest|peak|recovery|record|event" columns="6" speed="25"
//                 gain="10" values="all|level|none"/>
//                                          every lead's average beat of the
//                                          last 20 s of that phase (record:
//                                          of the whole recording, as a
//                                          resting ECG has no phases) at true
//                                          scale, the rest average behind it
//                                          in the reference colour, with its
//                                          ST level (mm) and slope (mm/s), or
//                                          only the level, or neither;
//                                          "event" (event report only): the
//                                          averages at the event over their
//                                          reference
//   <space height="5"/>    <line/>    <pagebreak/>
//
// Words: a text, a field label or a column title is first looked up in the
// "report_es" catalogue (context "ReportTemplate"), so one template serves
// every language the catalogues speak; an untranslated text prints as written.
//
// Fields: [name] is replaced by the report's value of that name; inside a
// table or repeat, [set/name] by the current entry's. Everywhere:
// [pageNumber] and [pageCount]. "[[" prints a "[". A name the report does
// not know is printed as written, brackets and all, so a misspelling shows
// on the page (and the renderer lists it) instead of vanishing.
//
// The stress report knows: headerTitle, headerInfo, headerLogo,
// signatureName, signatureLicense, signatureImage, traceLayout, rhythmLead;
// patientName,
// patientFirstName, patientLastName, patientId, patientSex, patientBirthDate,
// patientAge, patientWeight, patientHeight, medicalHistoryNumber; studyId,
// studyDate, institutionName, doctorName, referringDoctorName,
// technicianName, indication, medication, riskFactors, comments,
// conclusion; protocolName, protocolType, exerciseDuration, totalDuration,
// workloadUnit, hasSpeed, hasIncline, hasWorkload, hasDose; maxHR,
// predictedMaxHR, maxHRPercent, maxMETS, maxVO2, maxSysBP, maxDiaBP, maxDP;
// the set "stage" (name, duration, speed, incline, workload, dose, METS, HR,
// BP, DP, ST, STSlope: ST of V5 in mm, as the monitor shows it), the set
// "event" (index, description, time, duration) and the set "lead" (name,
// restST, peakST, recoveryST in mm; restSlope, peakSlope, recoverySlope in
// mm/s; empty where no beat could be averaged).
//
// The resting ECG report (":/res/ecgreport1.xml" for the trace layout
// "12by1", ":/res/ecgreport2.xml" for "6by2", ":/res/ecgreport3.xml" for
// "4by3", ":/res/ecgReportTracesOnly.xml" for the traces alone in the
// chosen layout) knows the header, signature, patient and study fields
// above and: heartRate (bpm), prInterval, pDuration, qrsDuration,
// qtInterval, qtcBazett, qtcFridericia (ms), pAxis, qrsAxis, tAxis
// (degrees), each empty when not measured; recordingSeconds, ecgSpeed,
// ecgGain, ecgFilters; layout12by1, layout6by2, layout4by3 ("1" for the
// chosen layout). The tilt-test report (":/res/tilttestreport1.xml") knows
// what the stress report knows.
//
// The event report (":/res/stressStageReport1.xml") knows the stress
// report's header, patient, study, protocol and "stage" fields, and:
// eventIndex, eventDescription, eventTime, eventStage, eventHR, eventBP,
// eventDP, eventMETS, eventSpeed, eventIncline, eventWorkload, eventDose,
// eventST, eventSTSlope (the cells of the event's stage row); the set "lead"
// (name, ST in mm, STSlope in mm/s at the event). Its <ecg> shows the 10 s
// copied at the event (the last 10 s recorded when the event is more recent)
// filtered as the monitor showed it.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

struct TemplateNode {
    QString tag;
    QHash<QString, QString> attributes;
    QString text;  // the element's own text, whitespace-collapsed
    std::vector<TemplateNode> children;
    int line = 0;

    QString attribute(const QString &name, const QString &fallback = QString()) const {
        return attributes.value(name, fallback);
    }
    double number(const QString &name, double fallback) const;
};

class ReportTemplate {
public:
    // Throws std::runtime_error "Report template error: ..." with the line
    // and the reason when the XML is malformed or uses an unknown element.
    static ReportTemplate parse(const QByteArray &xml);
    // `name` is a file path or a resource (":/res/stressreport1.xml").
    static ReportTemplate load(const QString &name);

    const TemplateNode &root() const { return root_; }
    // Null when the template has no such section.
    const TemplateNode *section(const QString &tag) const;

private:
    TemplateNode root_;
};
