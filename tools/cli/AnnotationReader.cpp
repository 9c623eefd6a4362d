#include "tools/cli/AnnotationReader.h"

#include <QFile>
#include <map>

namespace AnnotationReader {
namespace {

// Pseudo-annotation codes: they carry no event of their own.
constexpr int kSkip = 59;     // the next 32 bits are a long time step
constexpr int kNumber = 60;   // sets the number field (kept for later annotations)
constexpr int kSubtype = 61;  // sets the subtype of the annotation before it
constexpr int kChannel = 62;  // sets the channel (kept for later annotations)
constexpr int kAux = 63;      // low 10 bits = byte count of the text that follows

const std::map<int, const char *> &beatCodes() {
    // Normal, bundle branch blocks, aberrant, ventricular, fusion, junctional,
    // atrial and supraventricular premature, escape, paced, unclassifiable,
    // and the rarer bundle-branch-block (unknown side) and R-on-T beats.
    static const std::map<int, const char *> codes = {{1, "N"},  {2, "L"},  {3, "R"},  {4, "a"},  {5, "V"},  {6, "F"},
                                                      {7, "J"},  {8, "A"},  {9, "S"},  {10, "E"}, {11, "j"}, {12, "/"},
                                                      {13, "Q"}, {25, "B"}, {30, "r"}, {34, "e"}, {35, "n"}, {38, "f"}};
    return codes;
}

class WordReader {
public:
    explicit WordReader(const QByteArray &bytes) : bytes_(bytes) {}
    bool atEnd() const { return position_ >= bytes_.size(); }
    bool has(int count) const { return position_ + count <= bytes_.size(); }
    int position() const { return position_; }
    unsigned int word() {
        const auto low = static_cast<unsigned char>(bytes_[position_]);
        const auto high = static_cast<unsigned char>(bytes_[position_ + 1]);
        position_ += 2;
        return low | (static_cast<unsigned int>(high) << 8);
    }
    QByteArray take(int count) {
        const QByteArray part = bytes_.mid(position_, count);
        position_ += count;
        return part;
    }

private:
    const QByteArray &bytes_;
    int position_ = 0;
};

// The 10-bit field of NUM, SUB and CHN words is a signed value.
int signed10(unsigned int value) { return value >= 0x200 ? static_cast<int>(value) - 0x400 : static_cast<int>(value); }

}  // namespace

bool isBeatCode(int code) { return beatCodes().count(code) > 0; }

QString beatSymbol(int code) {
    const auto found = beatCodes().find(code);
    return QString::fromLatin1(found == beatCodes().end() ? "?" : found->second);
}

bool decode(const QByteArray &bytes, std::vector<Annotation> *annotations, QString *error) {
    annotations->clear();
    WordReader reader(bytes);
    std::int64_t time = 0;
    int number = 0;
    int channel = 0;
    const auto truncated = [&]() {
        *error = QStringLiteral("the annotations end inside an entry at byte %1").arg(reader.position());
        return false;
    };
    // Writers end the file with a zero word; a file cut at an entry boundary
    // is read up to there.
    while (!reader.atEnd()) {
        if (!reader.has(2)) return truncated();
        const unsigned int word = reader.word();
        const int code = static_cast<int>(word >> 10);
        const unsigned int field = word & 0x3FFu;
        if (code == 0 && field == 0) break;
        switch (code) {
        case kSkip: {
            if (!reader.has(4)) return truncated();
            // Most significant half first, each half little-endian.
            const unsigned int high = reader.word();
            const unsigned int low = reader.word();
            time += static_cast<std::int32_t>((high << 16) | low);
            break;
        }
        case kNumber:
            number = signed10(field);
            if (!annotations->empty()) annotations->back().number = number;
            break;
        case kSubtype:
            if (!annotations->empty()) annotations->back().subtype = signed10(field);
            break;
        case kChannel:
            channel = signed10(field);
            if (!annotations->empty()) annotations->back().channel = channel;
            break;
        case kAux: {
            const int length = static_cast<int>(field);
            const int padded = length + (length % 2);
            if (!reader.has(padded)) return truncated();
            QByteArray text = reader.take(padded).left(length);
            // Writers count the C string's terminator; it is no part of the text.
            while (text.endsWith('\0')) text.chop(1);
            if (!annotations->empty()) annotations->back().aux = text;
            break;
        }
        default: {
            time += field;
            Annotation annotation;
            annotation.sample = time;
            annotation.code = code;
            annotation.number = number;
            annotation.channel = channel;
            annotations->push_back(annotation);
            break;
        }
        }
    }
    return true;
}

bool read(const QString &path, std::vector<Annotation> *annotations, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!decode(file.readAll(), annotations, error)) {
        *error = QStringLiteral("%1: %2").arg(path, *error);
        return false;
    }
    return true;
}

}  // namespace AnnotationReader
