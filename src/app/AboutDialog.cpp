#include "app/AboutDialog.h"

#include <QBoxLayout>
#include <QLabel>

namespace pel {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle("About Pelorin File Conversion Utility");
    setModal(false);
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(
        "A utility for conversion between Honeywell EB files and Access databases", this);
    text->setObjectName("lblAbout");
    text->setWordWrap(true);
    column->addWidget(text);
    resize(360, 90);
}

}  // namespace pel
