// "Keep records" on the desktop program: wizard steps recorded, shown in the
// records window, filtered by address and exported as CSV.
#include "app/qt/RecordsWindow.h"
#include "GuiFixture.h"

#include <QAction>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>

#include <fstream>

namespace nw::test {
namespace {

class GuiRecords : public GuiBench {};

TEST_F(GuiRecords, KeptWizardStepsShownFilteredAndExported) {
    const QTemporaryDir dir;
    recordsPath = dir.filePath(QStringLiteral("records.sqlite")).toStdString();
    OpenWindow();
    OpenPort();
    auto action = [&](const char* name) {
        auto* a = window->AboutMenu()->findChild<QAction*>(QString::fromUtf8(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    action("keepRecords")->trigger();
    EXPECT_TRUE(QSettings().value(QStringLiteral("records/keep")).toBool());
    Press("master"); // detection
    Press("master"); // the master's address read

    action("openRecords")->trigger();
    qt::CRecordsWindow* records = window->RecordsWindow();
    ASSERT_NE(records, nullptr);
    auto* table = records->findChild<QTableWidget*>(QStringLiteral("recordsTable"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 2);
    records->findChild<QLineEdit*>(QStringLiteral("addressFilter"))
        ->setText(QStringLiteral("0001950a0b00"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 8)->text(), QStringLiteral("wizard-read"));

    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    QString error;
    ASSERT_TRUE(records->ExportCsv(csv, error)) << error.toStdString();
    std::ifstream in(csv.toStdString());
    std::string header, row, more;
    std::getline(in, header);
    std::getline(in, row);
    EXPECT_EQ(header.rfind("id,run_id,time", 0), 0u);
    EXPECT_NE(row.find(",0001950A0B00,OLMA-M,wizard-read,"), std::string::npos) << row;
    EXPECT_FALSE(std::getline(in, more));
}

} // namespace
} // namespace nw::test
