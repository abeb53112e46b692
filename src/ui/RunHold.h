#pragma once
// While a run holds the thread, only its Cancel button and the Escape key take input: every other
// control of the window is shown disabled and gets back exactly the enabled state it had (the
// enabling rules are not re-run), and the cursor shows the window busy. Windows of their own
// (the run's questions and messages) take input as usual.

#include <QObject>
#include <QPointer>
#include <functional>
#include <utility>
#include <vector>

class QWidget;

namespace pel {

class RunHold : public QObject {
  public:
    // `cancel` stays enabled and, like Escape, calls `onCancel`; its window is the one held.
    RunHold(QWidget* cancel, std::function<void()> onCancel);
    ~RunHold() override;
    RunHold(const RunHold&) = delete;
    RunHold& operator=(const RunHold&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> cancel_;
    QPointer<QWidget> window_;
    std::function<void()> onCancel_;
    // The controls disabled for the run, and whether each was disabled of its own before.
    std::vector<std::pair<QPointer<QWidget>, bool>> held_;
    bool cancelWasEnabled_ = false;
};

}  // namespace pel
