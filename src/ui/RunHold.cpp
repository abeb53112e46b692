#include "ui/RunHold.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace pel {

namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            return true;
        default:
            return false;
    }
}

}  // namespace

RunHold::RunHold(QWidget* cancel, std::function<void()> onCancel)
    : cancel_(cancel), onCancel_(std::move(onCancel)) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (cancel == nullptr) return;
    window_ = cancel->window();
    // Disabling a control disables what it holds; so the siblings along the Cancel button's
    // ancestry are disabled, never its ancestors.
    for (QWidget* ancestor = cancel->parentWidget(); ancestor != nullptr;
         ancestor = ancestor->isWindow() ? nullptr : ancestor->parentWidget()) {
        for (QObject* child : ancestor->children()) {
            auto* control = qobject_cast<QWidget*>(child);
            if (control == nullptr || control->isWindow() || control == cancel ||
                control->isAncestorOf(cancel))
                continue;
            held_.emplace_back(control, control->testAttribute(Qt::WA_ForceDisabled));
            control->setEnabled(false);
        }
    }
    cancelWasEnabled_ = cancel->isEnabled();
    cancel->setEnabled(true);
    QApplication::instance()->installEventFilter(this);
}

RunHold::~RunHold() {
    QApplication::instance()->removeEventFilter(this);
    for (auto& [control, wasDisabled] : held_)
        if (control) control->setEnabled(!wasDisabled);
    if (cancel_) cancel_->setEnabled(cancelWasEnabled_);
    QApplication::restoreOverrideCursor();
}

bool RunHold::eventFilter(QObject* watched, QEvent* event) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || !IsInput(event->type()) || target->window() != window_) return false;
    if (target == cancel_.data()) return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (onCancel_) onCancel_();
        return true;
    }
    // A shortcut of the window (Ctrl+Q, a menu's letter) is overridden, then its key is dropped.
    if (event->type() == QEvent::ShortcutOverride) event->accept();
    return true;
}

}  // namespace pel
