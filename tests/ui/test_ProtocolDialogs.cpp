#include "DialogTestSupport.h"
#include "store/ProtocolTable.h"
#include "ui/DialogFieldMarks.h"
#include "ui/ProtocolDialog.h"
#include "ui/ProtocolListDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class ProtocolDialogsTest : public DialogTest::StoreFixture {
protected:
    // The protocols of data/protocols.json by name, read from the file itself.
    QMap<QString, QJsonObject> protocolFile() const {
        QFile file(ProtocolTable::filePathUnder(root()));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QMap<QString, QJsonObject> byName;
        for (const QJsonValue &value : QJsonDocument::fromJson(file.readAll()).array())
            byName.insert(value.toObject().value(QStringLiteral("name")).toString(), value.toObject());
        return byName;
    }
    static QListWidget *list(ProtocolListDialog &d) {
        return d.findChild<QListWidget *>(QStringLiteral("lstProtocols"));
    }
    static void click(QDialog &d, const char *button) { d.findChild<QPushButton *>(QLatin1String(button))->click(); }
    static void select(ProtocolListDialog &d, const QString &name) {
        const auto found = list(d)->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << qPrintable(name);
        list(d)->setCurrentItem(found.first());
    }
    static QStringList listed(ProtocolListDialog &d) {
        QStringList names;
        for (int i = 0; i < list(d)->count(); ++i) names << list(d)->item(i)->text();
        return names;
    }
    static QTreeWidget *tree(ProtocolDialog &d) { return d.findChild<QTreeWidget *>(QStringLiteral("treeStages")); }
    // What a user does in a cell: its text changes, and the dialog follows.
    static void typeIntoCell(ProtocolDialog &d, int row, int column, const QString &text) {
        tree(d)->topLevelItem(row)->setText(column, text);
    }
    static void pressOk(QDialog &d) {
        d.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    }
};

TEST_F(ProtocolDialogsTest, ANewProtocolIsListedAndWrittenToTheTableFile) {
    ProtocolListDialog dialog(store(), QStringLiteral("kgm/min"));
    dialog.show();
    DialogTest::whenModalShows<ProtocolDialog>([](ProtocolDialog *editor) {
        editor->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(QStringLiteral("Bici corta"));
        editor->findChild<QComboBox *>(QStringLiteral("cmbType"))->setCurrentIndex(1);
        auto *phase = editor->findChild<QComboBox *>(QStringLiteral("cmbPhase"));
        phase->setCurrentIndex(0);
        click(*editor, "btnAppend");
        phase->setCurrentIndex(1);
        click(*editor, "btnAppend");
        EXPECT_EQ(tree(*editor)->headerItem()->text(2), QStringLiteral("Workload"));
        typeIntoCell(*editor, 1, 1, QStringLiteral("2:30"));
        typeIntoCell(*editor, 1, 2, QStringLiteral("600"));
        EXPECT_EQ(tree(*editor)->topLevelItem(1)->text(1), QStringLiteral("02:30"));
        EXPECT_EQ(tree(*editor)->topLevelItem(1)->text(2), QStringLiteral("600.0 kgm/min"));
        pressOk(*editor);
    });
    click(dialog, "btnNew");

    EXPECT_TRUE(listed(dialog).contains(QStringLiteral("Bici corta")));
    Protocol stored;
    ASSERT_TRUE(store().protocol(QStringLiteral("Bici corta"), stored));
    EXPECT_EQ(stored.type, ProtocolType::Ergometer);
    ASSERT_EQ(stored.stageCount(), 2);
    EXPECT_EQ(stored.stage(1).duration, 150.0);
    const QJsonObject inFile = protocolFile().value(QStringLiteral("Bici corta"));
    EXPECT_EQ(inFile.value(QStringLiteral("type")).toString(), QStringLiteral("ergometer"));
    const QJsonObject exercise = inFile.value(QStringLiteral("stages")).toArray().at(1).toObject();
    EXPECT_EQ(exercise.value(QStringLiteral("phase")).toString(), QStringLiteral("exercise"));
    EXPECT_EQ(exercise.value(QStringLiteral("duration")).toInt(), 150);
    EXPECT_DOUBLE_EQ(exercise.value(QStringLiteral("workload")).toDouble(), 100.0);
    // The standard protocols are still there beside it.
    EXPECT_TRUE(protocolFile().contains(QStringLiteral("Bruce")));
}

TEST_F(ProtocolDialogsTest, EditingSavesTheChangedStagesUnderTheEditedName) {
    // Kept under its name, or renamed: a rename leaves no copy behind.
    struct Case {
        const char *newName;
        bool oldNameListed;
    };
    for (const Case &c : std::vector<Case>{{"Bruce", true}, {"Bruce (rápido)", false}}) {
        Protocol bruce;
        ASSERT_TRUE(store().protocol(QStringLiteral("Bruce"), bruce) ||
                    store().protocol(QStringLiteral("Bruce (rápido)"), bruce));
        store().removeProtocol(QStringLiteral("Bruce (rápido)"));
        store().setProtocol(QStringLiteral("Bruce"), bruce);
        const int stages = bruce.stageCount();

        ProtocolListDialog dialog(store(), QStringLiteral("watts"));
        dialog.show();
        select(dialog, QStringLiteral("Bruce"));
        const QString newName = QString::fromUtf8(c.newName);
        DialogTest::whenModalShows<ProtocolDialog>([newName](ProtocolDialog *editor) {
            EXPECT_EQ(editor->findChild<QLineEdit *>(QStringLiteral("txtName"))->text(), QStringLiteral("Bruce"));
            tree(*editor)->setCurrentItem(tree(*editor)->topLevelItem(1));
            click(*editor, "btnDelete");
            typeIntoCell(*editor, 0, 2, QStringLiteral("1.5"));
            editor->findChild<QLineEdit *>(QStringLiteral("txtName"))->setText(newName);
            pressOk(*editor);
        });
        click(dialog, "btnEdit");

        Protocol edited;
        ASSERT_TRUE(store().protocol(newName, edited)) << c.newName;
        EXPECT_EQ(edited.stageCount(), stages - 1);
        EXPECT_DOUBLE_EQ(edited.stage(0).parameter(QStringLiteral("speed"), QStringLiteral("km/h")), 1.5);
        EXPECT_EQ(protocolFile().value(newName).value(QStringLiteral("stages")).toArray().size(), stages - 1);
        EXPECT_TRUE(listed(dialog).contains(newName));
        EXPECT_EQ(listed(dialog).contains(QStringLiteral("Bruce")), c.oldNameListed) << c.newName;
        EXPECT_EQ(protocolFile().contains(QStringLiteral("Bruce")), c.oldNameListed) << c.newName;
    }
}

TEST_F(ProtocolDialogsTest, DeletingAsksFirstAndANoChangesNothing) {
    const QByteArray before = [this] {
        QFile file(ProtocolTable::filePathUnder(root()));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    ProtocolListDialog dialog(store(), QStringLiteral("watts"));
    dialog.show();
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        select(dialog, QStringLiteral("Naughton"));
        DialogTest::whenModalShows<QMessageBox>([answer](QMessageBox *box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Confirm"));
            EXPECT_EQ(box->text(), QStringLiteral("Remove protocol Naughton?"));
            box->button(answer)->click();
        });
        click(dialog, "btnDelete");
        if (answer == QMessageBox::No) {
            QFile file(ProtocolTable::filePathUnder(root()));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), before);
            EXPECT_TRUE(listed(dialog).contains(QStringLiteral("Naughton")));
        }
    }
    EXPECT_FALSE(listed(dialog).contains(QStringLiteral("Naughton")));
    Protocol gone;
    EXPECT_FALSE(store().protocol(QStringLiteral("Naughton"), gone));
    EXPECT_FALSE(protocolFile().contains(QStringLiteral("Naughton")));
    EXPECT_TRUE(protocolFile().contains(QStringLiteral("Bruce")));
}

TEST_F(ProtocolDialogsTest, EditingAProtocolTheStoreDoesNotHaveIsRefused) {
    ProtocolListDialog dialog(store(), QStringLiteral("watts"));
    try {
        dialog.editProtocol(QStringLiteral("No such protocol"));
        FAIL() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Cannot load protocol");
    }
}

TEST_F(ProtocolDialogsTest, ANameThatIsEmptyOrTakenCannotBeAccepted) {
    for (const char *name : {"", "   ", "Bruce", "Nuevo"}) {
        ProtocolDialog editor(Protocol(), QStringLiteral("watts"), store().protocolNames());
        auto *field = editor.findChild<QLineEdit *>(QStringLiteral("txtName"));
        field->setText(QString::fromUtf8(name));
        pressOk(editor);
        const bool acceptable = qstrcmp(name, "Nuevo") == 0;
        EXPECT_EQ(editor.result() == QDialog::Accepted, acceptable) << name;
        EXPECT_EQ(DialogFieldMarks::isMarked(field), !acceptable) << name;
    }
}

TEST_F(ProtocolDialogsTest, CancellingTheEditorLeavesTheTableAlone) {
    ProtocolListDialog dialog(store(), QStringLiteral("watts"));
    dialog.show();
    select(dialog, QStringLiteral("Who"));
    DialogTest::whenModalShows<ProtocolDialog>([](ProtocolDialog *editor) {
        click(*editor, "btnAppend");
        editor->reject();
    });
    click(dialog, "btnEdit");
    Protocol who;
    ASSERT_TRUE(store().protocol(QStringLiteral("Who"), who));
    EXPECT_EQ(who.stageCount(), 12);
}

}  // namespace
