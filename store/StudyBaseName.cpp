#include "store/StudyBaseName.h"

namespace {

bool forbiddenInFileName(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
    switch (c) {
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|': return true;
    default: return false;
    }
}

}  // namespace

namespace StudyBaseName {

QByteArray forNewStudy(const StudyInfo &info) {
    QByteArray name;
    for (const QByteArray *part : {&info.patientMedicalHistoryNumber, &info.patientPersonIdNumber,
                                   &info.patientLastName, &info.patientFirstName}) {
        if (!part->isEmpty()) name += *part + '-';
    }
    name += info.studyDateTime;
    // Multi-byte UTF-8 sequences never contain bytes below 0x80, so replacing
    // single bytes keeps every accented letter intact.
    for (char &c : name) {
        if (forbiddenInFileName(c)) c = '_';
    }
    if (name.isEmpty() || name == "." || name == "..") name = QByteArray(qMax(1, name.size()), '_');
    return name;
}

bool isPlainFileName(const QByteArray &name) {
    if (name.isEmpty() || name == "." || name == "..") return false;
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '\0') return false;
    }
    return true;
}

}  // namespace StudyBaseName
