#include "app/WindowResults.h"

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>

#include "db/Database.h"
#include "ui/QtWindowContext.h"
#include "ui/ResultsArea.h"

namespace pel {

namespace {
constexpr int kDockHeight = 140;
}

ResultsArea* AddResultsDock(QMainWindow& window, QtFeedback& feedback) {
    auto* dock = new QDockWidget("Results", &window);
    dock->setObjectName("dockResults");
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    auto* results = new ResultsArea(dock);
    results->setMinimumHeight(kDockHeight / 2);
    dock->setWidget(results);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    feedback.onRunEnd([results](const RunSummary& run) { results->showRun(run); });
    QObject::connect(results, &ResultsArea::changed, dock, [dock, &window] {
        if (dock->isVisible() || dock->isFloating()) return;
        const int grow = kDockHeight;
        window.resize(window.width(), window.height() + grow);
        dock->show();
    });
    return results;
}

QLabel* AddDatabaseNote(QTabWidget& tabStrip) {
    auto* note = new QLabel(&tabStrip);
    note->setObjectName("lblDatabaseNote");
    note->setStyleSheet("color: #b00000");
    note->setMaximumWidth(220);
    tabStrip.setCornerWidget(note, Qt::TopRightCorner);
    return note;
}

namespace {

// A few words for the corner; the whole reason is the tooltip.
QString ShortReason(db::DbError::Kind kind) {
    switch (kind) {
        case db::DbError::Kind::NotFound:
            return "The database does not exist";
        case db::DbError::Kind::NotADatabase:
            return "Not a database";
        case db::DbError::Kind::Locked:
            return "Locked by another program";
        case db::DbError::Kind::ReadOnly:
            return "Read only: imports cannot change it";
        default:
            return "The database cannot be opened";
    }
}

}  // namespace

void CheckChosenDatabase(QLabel& note, const QString& path) {
    QString reason, shortReason;
    // Reading first: a file that cannot be read is said as such, not as read only.
    for (bool forWriting : {false, true}) {
        if (path.isEmpty() || !reason.isEmpty()) break;
        try {
            (void)db::Database::open(ToStdString(path), forWriting);
        } catch (const db::DbError& e) {
            reason = QString::fromUtf8(e.what());
            shortReason = ShortReason(e.kind());
        } catch (const std::exception& e) {
            reason = QString::fromUtf8(e.what());
            shortReason = ShortReason(db::DbError::Kind::Other);
        }
    }
    note.setText(shortReason);
    note.setToolTip(reason);
}

}  // namespace pel
