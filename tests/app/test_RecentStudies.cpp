// The recent-study list as the settings keep it: what is read back, what a
// new study does to it, and how it is shown.

#include "app/RecentStudies.h"

#include <gtest/gtest.h>

using RecentStudies::Entry;

TEST(RecentStudies, OnlyEntriesOfFourPartsWithAnIdAreRead) {
    struct Case {
        const char *text;
        qint32 id;  // 0: left out
    };
    const Case cases[] = {
        {"17||20261208093000||Doe||Jane", 17},
        {"18||20261208093000||Doe", 0},
        {"19||20261208093000||Doe||Jane||extra", 0},
        {"x||20261208093000||Doe||Jane", 0},
        {"0||20261208093000||Doe||Jane", 0},
        {"-4||20261208093000||Doe||Jane", 0},
        {"", 0},
        {"20||||||", 20},  // empty fields are still four parts
    };
    for (const Case &c : cases) {
        const QList<Entry> read = RecentStudies::parse({QString::fromUtf8(c.text)});
        if (c.id == 0) {
            EXPECT_TRUE(read.isEmpty()) << c.text;
        } else {
            ASSERT_EQ(read.size(), 1) << c.text;
            EXPECT_EQ(read[0].id, c.id) << c.text;
        }
    }
    const QList<Entry> mixed = RecentStudies::parse(
        {QStringLiteral("5||20261201080000||Ruiz||Ana"), QStringLiteral("broken"), QStringLiteral("6||d||Sosa||Luis")});
    ASSERT_EQ(mixed.size(), 2);
    EXPECT_EQ(mixed[0].lastName, QStringLiteral("Ruiz"));
    EXPECT_EQ(mixed[1].firstName, QStringLiteral("Luis"));
}

TEST(RecentStudies, AWrittenEntryReadsBackWhateverTheNames) {
    const Entry cases[] = {
        {42, "20261208093512", QStringLiteral("Pérez Gómez"), QStringLiteral("Ana María")},
        {7, "20261208093512", QStringLiteral("O'Neil %1"), QStringLiteral("%2")},
        {8, "20261208093512", QString(), QString()},
    };
    for (const Entry &entry : cases) {
        const QList<Entry> read = RecentStudies::parse({RecentStudies::format(entry)});
        ASSERT_EQ(read.size(), 1) << qPrintable(entry.lastName);
        EXPECT_EQ(read[0].id, entry.id);
        EXPECT_EQ(read[0].dateTime, entry.dateTime);
        EXPECT_EQ(read[0].lastName, entry.lastName);
        EXPECT_EQ(read[0].firstName, entry.firstName);
    }
    // A name holding the separator would otherwise drop the study from the list.
    const QList<Entry> barred = RecentStudies::parse({RecentStudies::format({9, "20261208093512", "A||B", "C|||D"})});
    ASSERT_EQ(barred.size(), 1);
    EXPECT_EQ(barred[0].lastName, QStringLiteral("A|B"));
    EXPECT_EQ(barred[0].firstName, QStringLiteral("C|D"));
}

TEST(RecentStudies, ANewStudyComesFirstOnceAndTheListIsCut) {
    auto text = [](qint32 id) { return RecentStudies::format({id, "20261208093000", "L", "F"}); };
    auto ids = [](const QStringList &texts) {
        QList<qint32> out;
        for (const Entry &entry : RecentStudies::parse(texts)) out << entry.id;
        return out;
    };
    EXPECT_EQ(ids(RecentStudies::withEntry({}, {3, "d", "L", "F"})), QList<qint32>{3});
    EXPECT_EQ(ids(RecentStudies::withEntry({text(1), text(2)}, {3, "d", "L", "F"})), (QList<qint32>{3, 1, 2}));
    // A study saved again moves to the top instead of being listed twice.
    EXPECT_EQ(ids(RecentStudies::withEntry({text(1), text(2), text(3)}, {2, "d", "L", "F"})), (QList<qint32>{2, 1, 3}));

    QStringList full;
    for (int id = 1; id <= RecentStudies::kMaximumEntries; ++id) full << text(id);
    const QStringList cut = RecentStudies::withEntry(full, {100, "d", "L", "F"});
    ASSERT_EQ(cut.size(), RecentStudies::kMaximumEntries);
    EXPECT_EQ(ids(cut).first(), 100);
    EXPECT_EQ(ids(cut).last(), RecentStudies::kMaximumEntries - 1) << "the oldest falls off";

    // Entries another version wrote are kept in place, not thrown away.
    const QStringList kept =
        RecentStudies::withEntry({QStringLiteral("odd"), text(1)}, {2, "20261208093000", "L", "F"});
    EXPECT_EQ(kept, (QStringList{text(2), QStringLiteral("odd"), text(1)}));
}

TEST(RecentStudies, TheDateAndPatientAreShownReadably) {
    struct Case {
        QByteArray stored;
        QString shown;
    };
    const Case cases[] = {
        {"20261208093512", QStringLiteral("08/12/2026 09:35")},
        {"20260101000000", QStringLiteral("01/01/2026 00:00")},
        {"garbage", QStringLiteral("garbage")},
        {"", QString()},
    };
    for (const Case &c : cases) EXPECT_EQ(RecentStudies::displayDateTime(c.stored), c.shown) << c.stored.constData();
    EXPECT_EQ(RecentStudies::displayPatient({1, "", "Doe", "Jane"}), QStringLiteral("Doe, Jane"));
}
