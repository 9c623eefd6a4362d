#pragma once
// Reads reference annotation files in the MIT format (.atr): the time and
// code of every annotation, with the fields its pseudo-annotations set.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct Annotation {
    std::int64_t sample = 0;  // in the record's own sample numbering
    int code = 0;
    int subtype = 0;
    int channel = 0;
    int number = 0;
    QByteArray aux;
};

namespace AnnotationReader {

// Whether an annotation code marks a beat (a QRS complex) rather than a
// rhythm change, noise, a comment or another event.
bool isBeatCode(int code);
// The usual one-letter symbol of a beat code ("N", "V", ...); "?" otherwise.
QString beatSymbol(int code);

// Decodes the bytes of an annotation file; false with a message on a file
// that ends inside an annotation.
bool decode(const QByteArray &bytes, std::vector<Annotation> *annotations, QString *error);
bool read(const QString &path, std::vector<Annotation> *annotations, QString *error);

}  // namespace AnnotationReader
