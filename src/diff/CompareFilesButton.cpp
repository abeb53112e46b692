#include "diff/CompareFilesButton.h"

#include <QPushButton>

#include "compare/FindingsReport.h"
#include "core/Paths.h"
#include "diff/EbDiff.h"

namespace pel {

namespace {

void CompareFiles(WindowContext& context) {
    const QString folder = ToQString(context.state.ebFileDirectory);
    auto oldFile = context.dialogs.openFile(
        context.window,
        {"Select the earlier EB file (OLD)", "EB Files (*.eb)", folder, QString(), true});
    if (!oldFile) return;
    auto newFile = context.dialogs.openFile(
        context.window, {"Select the later EB file (NEW)", "EB Files (*.eb)",
                         ToQString(DirectoryPart(ToStdString(*oldFile))), QString(), true});
    if (!newFile) return;
    auto report = context.dialogs.saveFile(
        context.window, {"EB File Comparison report", "HTML Files (*.htm);;CSV Files (*.csv)",
                         ToQString(DirectoryPart(ToStdString(*newFile))), QString(), true});
    if (!report) return;
    // A name without a report's extension becomes an HTML report.
    if (!ReportFormatOf(ToStdString(*report))) *report += ".htm";
    const EbDiffRequest request{
        ToStdString(*oldFile), ToStdString(*newFile), ToStdString(*report), {}};
    EbDiffResult result;
    RunEngine(context, Panel::CompareEb,
              [&] { result = DiffEbFiles(context.state.catalog, context.feedback, request); });
    if (result.outcome == Outcome::Done) ViewReport(context, *report);
}

}  // namespace

void AddCompareFilesButton(WindowContext& context, CompareEbTab& tab) {
    auto* button = new QPushButton("Compare F&iles...");
    button->setObjectName("cmdCompareFiles");
    tab.addAtLeftOfRun(button);
    QObject::connect(button, &QPushButton::clicked, &tab, [&context] { CompareFiles(context); });
}

}  // namespace pel
