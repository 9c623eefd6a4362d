#include "tools/cli/StudyCommand.h"

#include "store/StudyArchives.h"
#include "store/StudyDocument.h"
#include "store/StudyFiles.h"
#include "store/StudyIndex.h"
#include "store/StudyStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <stdexcept>

namespace {

const char *const kUsage = "Usage: tarvelin-ecg-cli study --store DIR SUBCOMMAND\n"
                           "Subcommands:\n"
                           "  list                   one line per study: id, date-time, type, last name,\n"
                           "                         first name, status (tab-separated)\n"
                           "  show ID                the study document as indented JSON\n"
                           "  export ID FOLDER       writes FOLDER/<base name>.hxz\n"
                           "  import ARCHIVE         adds (or replaces) the archive's study; prints its id\n"
                           "  rebuild-index          builds the index anew from the study files; names\n"
                           "                         every file left out and why, and then exits 1\n";

bool parseId(const QString &text, qint32 &id) {
    bool ok = false;
    id = text.toInt(&ok);
    return ok;
}

int list(StudyStore &store, QTextStream &out) {
    for (const StudyInfo &info : store.listStudies()) {
        out << info.id << '\t' << QString::fromUtf8(info.studyDateTime) << '\t' << QString::fromUtf8(info.studyType)
            << '\t' << QString::fromUtf8(info.patientLastName) << '\t' << QString::fromUtf8(info.patientFirstName)
            << '\t' << QString::fromUtf8(info.status) << '\n';
    }
    return 0;
}

int show(StudyStore &store, qint32 id, QTextStream &out, QTextStream &err) {
    StudyInfo row;
    if (!store.fetchRow(id, row)) {
        err << "Study not found\n";
        return 1;
    }
    // Only viewed: the signal files are opened for reading, so a store on a
    // read-only medium can be shown.
    const Study *study = store.openStudy(id, HeaderedFile::Access::ReadOnly);
    if (!study) {
        const QString path = StudyFiles::pathOf(store.rootFolder(), QString::fromUtf8(row.baseFilename), "hxstudy");
        if (!QFileInfo::exists(path)) {
            err << "Study file not found\n";
            return 1;
        }
        QString problem;
        if (StudyFiles::readStudyDocument(path, &problem)) problem = QStringLiteral("it has no \"study\" object");
        err << "Study file is damaged: " << path << ": " << problem << '\n';
        return 1;
    }
    out << QString::fromUtf8(QJsonDocument(StudyDocument::toJson(*study)).toJson(QJsonDocument::Indented));
    store.closeStudy(study);
    return 0;
}

int exportStudy(StudyStore &store, qint32 id, const QString &folder, QTextStream &out, QTextStream &err) {
    StudyInfo row;
    if (!store.fetchRow(id, row)) {
        err << "Study not found\n";
        return 1;
    }
    store.exportStudy(id, folder);
    out << QStringLiteral("%1/%2.hxz").arg(folder, QString::fromUtf8(row.baseFilename)) << '\n';
    return 0;
}

// The index is derived data; a new one is built by the store when it finds
// no database file.
int rebuildIndex(const QString &root, QTextStream &out, QTextStream &err) {
    const QString database = StudyIndex::databasePathUnder(root);
    if (QFile::exists(database) && !QFile::remove(database))
        throw std::runtime_error(QStringLiteral("Cannot remove %1").arg(database).toStdString());
    StudyStore store(root);
    out << store.listStudies().size() << " studies indexed\n";
    const QList<StudyFolderScan::LeftOut> leftOut = store.indexLeftOut();
    for (const StudyFolderScan::LeftOut &file : leftOut)
        err << "left out " << file.fileName << ": " << file.reason << '\n';
    return leftOut.isEmpty() ? 0 : 1;
}

}  // namespace

namespace StudyCommand {

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QString root;
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out << kUsage;
            return 0;
        }
        if (argument == QLatin1String("--store")) {
            if (++i >= arguments.size()) {
                err << "--store needs a folder\n" << kUsage;
                return 2;
            }
            root = arguments[i];
        } else {
            rest << argument;
        }
    }
    if (root.isEmpty() || rest.isEmpty()) {
        err << (root.isEmpty() ? "missing --store DIR\n" : "missing subcommand\n") << kUsage;
        return 2;
    }
    const QString command = rest.takeFirst();
    const struct {
        const char *name;
        int arguments;
    } shapes[] = {{"list", 0}, {"show", 1}, {"export", 2}, {"import", 1}, {"rebuild-index", 0}};
    int expected = -1;
    for (const auto &shape : shapes) {
        if (command == QLatin1String(shape.name)) expected = shape.arguments;
    }
    if (expected < 0) {
        err << "unknown subcommand \"" << command << "\"\n" << kUsage;
        return 2;
    }
    qint32 id = 0;
    if (rest.size() != expected ||
        ((command == QLatin1String("show") || command == QLatin1String("export")) && !parseId(rest.first(), id))) {
        err << "wrong arguments for \"" << command << "\"\n" << kUsage;
        return 2;
    }

    try {
        if (command == QLatin1String("rebuild-index")) return rebuildIndex(root, out, err);
        StudyStore store(root);
        if (!store.recoveryNote().isEmpty()) err << store.recoveryNote() << '\n';
        if (command == QLatin1String("list")) return list(store, out);
        if (command == QLatin1String("show")) return show(store, id, out, err);
        if (command == QLatin1String("export")) return exportStudy(store, id, rest[1], out, err);
        out << store.importStudy(rest.first()) << '\n';
        return 0;
    } catch (const StudyArchives::NotValid &error) {
        err << QString::fromUtf8(error.what()) << '\n' << error.reason() << '\n';
        return 1;
    } catch (const std::exception &error) {
        err << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
}

}  // namespace StudyCommand
