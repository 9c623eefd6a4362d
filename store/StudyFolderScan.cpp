#include "store/StudyFolderScan.h"

#include "store/StudyBaseName.h"
#include "store/StudyContentCheck.h"
#include "store/StudyFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>

namespace StudyFolderScan {

namespace {

// The text members a row is built from; a member of another type means the
// document was not written by us, and guessing a value would index nonsense.
QString wrongTypeIn(const QJsonObject &object, const char *objectName, std::initializer_list<const char *> keys) {
    for (const char *key : keys) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isString())
            return QStringLiteral("its \"%1\".\"%2\" is not text").arg(QLatin1String(objectName), QLatin1String(key));
    }
    return QString();
}

QByteArray text(const QJsonObject &object, const char *key) {
    return object.value(QLatin1String(key)).toString().toUtf8();
}

}  // namespace

Result scan(const QString &root) {
    Result result;
    QHash<qint32, QString> firstFileOf;
    // Hidden files too: a base name may start with a dot.
    const QStringList names =
        QDir(root).entryList({QStringLiteral("*.hxstudy")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        auto leaveOut = [&](const QString &reason) { result.leftOut.append({name, reason}); };
        const QByteArray base = QFileInfo(name).completeBaseName().toUtf8();
        // The listing ignores case; the store finds a study by "base.hxstudy" exactly.
        if (!name.endsWith(QLatin1String(".hxstudy"))) {
            leaveOut(QStringLiteral("its extension is not \".hxstudy\""));
            continue;
        }
        if (!StudyBaseName::isPlainFileName(base)) {
            leaveOut(QStringLiteral("its name is not a study base name"));
            continue;
        }
        QString problem;
        const std::optional<QJsonObject> document =
            StudyFiles::readStudyDocument(StudyFiles::pathOf(root, QString::fromUtf8(base), "hxstudy"), &problem);
        if (!document) {
            leaveOut(problem);
            continue;
        }
        qint32 id = 0;
        problem = StudyContentCheck::documentProblem(*document, base, &id);
        const QJsonObject study = document->value(QLatin1String("study")).toObject();
        const QJsonObject patient = document->value(QLatin1String("patient")).toObject();
        if (problem.isEmpty()) problem = wrongTypeIn(study, "study", {"status", "studyType", "studyDateTime"});
        if (problem.isEmpty())
            problem = wrongTypeIn(patient, "patient", {"firstName", "lastName", "animalSpecies", "animalBreed"});
        if (problem.isEmpty() && firstFileOf.contains(id))
            problem = QStringLiteral("its id %1 is already that of %2").arg(id).arg(firstFileOf.value(id));
        if (!problem.isEmpty()) {
            leaveOut(problem);
            continue;
        }
        firstFileOf.insert(id, name);
        StudyInfo row;
        row.id = id;
        row.baseFilename = base;
        row.status = text(study, "status");
        row.studyType = text(study, "studyType");
        row.studyDateTime = text(study, "studyDateTime");
        row.patientFirstName = text(patient, "firstName");
        row.patientLastName = text(patient, "lastName");
        row.patientAnimalSpecies = text(patient, "animalSpecies");
        row.patientAnimalBreed = text(patient, "animalBreed");
        result.rows.append(row);
    }
    return result;
}

}  // namespace StudyFolderScan
