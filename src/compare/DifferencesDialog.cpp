#include "compare/DifferencesDialog.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <memory>

#include "eb/CsvWriter.h"

namespace pel {

namespace {

std::vector<std::string_view> Cells(const Difference& row) {
    return {row.pointType, row.point, row.parameter, row.first, row.second};
}

// The box layout that holds `widget` directly, searched from its parent's layout down.
QBoxLayout* HoldingLayout(QLayout* layout, QWidget* widget, int* index) {
    if (!layout) return nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) {
            *index = i;
            return qobject_cast<QBoxLayout*>(layout);
        }
        if (QBoxLayout* inner = HoldingLayout(item->layout(), widget, index)) return inner;
    }
    return nullptr;
}

}  // namespace

std::vector<std::string> DifferencesHeads(Panel panel) {
    if (panel == Panel::CompareDb)
        return {"Point type", "Point", "Parameter", "Value (DB)", "Value (As-Built)"};
    return {"Point type", "Point", "Parameter", "Value (EB)", "Value (DB)"};
}

std::string SaveDifferencesCsv(const std::string& path, const std::vector<std::string>& heads,
                               const std::vector<Difference>& rows) {
    eb::CsvWriter csv;
    if (!csv.open(path, {heads.begin(), heads.end()})) return csv.errorText();
    for (const Difference& row : rows) csv.writeRow(Cells(row));
    return csv.commit() ? std::string() : csv.errorText();
}

DifferencesDialog::DifferencesDialog(WindowContext& context, Panel panel,
                                     const std::vector<Difference>& rows, QWidget* parent)
    : QDialog(parent), context_(context), heads_(DifferencesHeads(panel)), rows_(rows) {
    setObjectName("frmDifferences");
    setWindowTitle("Differences");
    model_ = new QStandardItemModel(static_cast<int>(rows.size()), 5, this);
    for (int c = 0; c < 5; ++c)
        model_->setHeaderData(c, Qt::Horizontal, ToQString(heads_[static_cast<std::size_t>(c)]));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto cells = Cells(rows[r]);
        for (int c = 0; c < 5; ++c)
            model_->setItem(static_cast<int>(r), c,
                            new QStandardItem(ToQString(cells[static_cast<std::size_t>(c)])));
    }
    shown_ = new QSortFilterProxyModel(this);
    shown_->setSourceModel(model_);
    shown_->setFilterKeyColumn(-1);
    shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto* column = new QVBoxLayout(this);
    auto* filterBox = new QLineEdit(this);
    filterBox->setObjectName("txtFilter");
    filterBox->setPlaceholderText("Filter");
    filterBox->setClearButtonEnabled(true);
    column->addWidget(filterBox);
    auto* table = new QTableView(this);
    table->setObjectName("tblDifferences");
    table->setModel(shown_);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);  // the report's order until a head is clicked
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(table, 1);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton("&Save as CSV...", this);
    save->setObjectName("cmdSaveCsv");
    auto* close = new QPushButton("Close", this);
    close->setObjectName("cmdClose");
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    column->addLayout(buttons);
    resize(720, 420);

    connect(filterBox, &QLineEdit::textChanged, this, &DifferencesDialog::filter);
    connect(save, &QPushButton::clicked, this, &DifferencesDialog::saveCsv);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void DifferencesDialog::filter(const QString& text) {
    shown_->setFilterFixedString(text);
}

int DifferencesDialog::rowsShown() const {
    return shown_->rowCount();
}

void DifferencesDialog::saveCsv() {
    FileChoice choice{"Save the differences", "CSV Files (*.csv)",
                      ToQString(context_.state.ebFileDirectory), "Differences.csv", true};
    auto path = context_.dialogs.saveFile(this, choice);
    if (!path) return;
    // Every row of the comparison, whatever the filter shows.
    const std::string failure = SaveDifferencesCsv(ToStdString(*path), heads_, rows_);
    if (!failure.empty())
        context_.dialogs.message(this, ToQString(kProgramTitle),
                                 "Cannot save the differences: " + ToQString(failure),
                                 Icon::Critical);
}

QPushButton* AddDifferencesButton(WindowContext& context, QPushButton* view, Panel panel) {
    QWidget* owner = view->parentWidget();
    auto* button = new QPushButton("Di&fferences", owner);
    button->setObjectName(view->objectName() + "Differences");
    button->setToolTip("The differences of the last comparison, as a table");
    button->setEnabled(false);
    int index = 0;
    if (QBoxLayout* row = HoldingLayout(owner->layout(), view, &index))
        row->insertWidget(index + 1, button);
    auto rows = std::make_shared<std::vector<Difference>>();
    QPointer<QPushButton> guard(button);
    context.feedback.onRunEnd([guard, rows, panel](const RunSummary& run) {
        // A comparison that never reached its report leaves the last one's rows.
        if (!guard || run.panel != panel || run.resultLines.empty()) return;
        *rows = run.differences;
        guard->setEnabled(true);
    });
    QObject::connect(button, &QPushButton::clicked, owner, [&context, rows, panel] {
        DifferencesDialog dialog(context, panel, *rows, context.window);
        dialog.exec();
    });
    return button;
}

}  // namespace pel
