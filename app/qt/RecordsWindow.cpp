#include "app/qt/RecordsWindow.h"

#include "records/RecordFormat.h"
#include "records/RecordStore.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace nw::qt {

using records::kColumns;

CRecordsWindow::CRecordsWindow(QWidget* parent, std::string databasePath)
    : QDialog(parent), m_path(std::move(databasePath)), m_filter(new QLineEdit(this)),
      m_table(new QTableWidget(this)), m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("records"));
    setWindowTitle(QStringLiteral("Records"));
    resize(960, 420);

    m_filter->setObjectName(QStringLiteral("addressFilter"));
    m_filter->setPlaceholderText(QStringLiteral("every adapter"));
    m_filter->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(QStringLiteral("&Address:"), this);
    filterLabel->setBuddy(m_filter);
    auto* exportButton = new QPushButton(QStringLiteral("Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("exportCsv"));
    exportButton->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filter, 1);
    top->addWidget(exportButton);

    m_table->setObjectName(QStringLiteral("recordsTable"));
    m_table->setColumnCount(static_cast<int>(kColumns.size()));
    QStringList headings;
    for (const char* column : kColumns)
        headings << QString::fromUtf8(column);
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_status->setObjectName(QStringLiteral("recordsStatus"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);

    connect(m_filter, &QLineEdit::textChanged, this, &CRecordsWindow::Reload);
    connect(exportButton, &QPushButton::clicked, this, &CRecordsWindow::ChooseExportFile);
    Reload();
}

void CRecordsWindow::Reload() {
    std::string error;
    const records::RecordFilter filter{.address = m_filter->text().trimmed().toStdString(),
                                       .since = {}};
    records::ReadRecords(m_path, filter, m_rows, error);
    m_table->setRowCount(static_cast<int>(m_rows.size()));
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        for (std::size_t k = 0; k < kColumns.size(); ++k) {
            const QString text = QString::fromUtf8(records::ColumnText(m_rows[r], k));
            m_table->setItem(static_cast<int>(r), static_cast<int>(k), new QTableWidgetItem(text));
        }
    }
    m_table->resizeColumnsToContents();
    m_status->setText(QString::fromStdString(
        error.empty() ? records::RecordsSummary(m_rows.size(), m_path) : error));
}

bool CRecordsWindow::ExportCsv(const QString& path, QString& error) const {
    QFile file(path);
    const std::string text = records::FormatRecords(m_rows, records::RecordFormat::Csv);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.flush()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void CRecordsWindow::ChooseExportFile() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export CSV"), QStringLiteral("records.csv"),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportCsv(path, error))
        QMessageBox::warning(this, QStringLiteral("Export CSV"),
                             QStringLiteral("%1 could not be written: %2").arg(path, error));
}

} // namespace nw::qt
