#pragma once
// The window's additions around the designed arrangement: the results dock under it and the
// note beside the database box that says what is wrong with a chosen database.

#include <QString>

class QLabel;
class QMainWindow;
class QTabWidget;

namespace pel {

class QtFeedback;
class ResultsArea;

// A dock under the window, hidden until the first run ends or a note comes; the window grows
// by its height when it first appears, so that nothing designed is covered.
ResultsArea* AddResultsDock(QMainWindow& window, QtFeedback& feedback);

// An empty label at the right of the tab strip's tabs, just under the database box.
QLabel* AddDatabaseNote(QTabWidget& tabStrip);
// Opens the database as the runs will: what is wrong goes into the note, which is empty when
// the database opens (or none is chosen).
void CheckChosenDatabase(QLabel& note, const QString& path);

}  // namespace pel
