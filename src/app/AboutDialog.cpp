#include "app/AboutDialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "db/DriverVersions.h"
#include "ui/QtWindowContext.h"

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
    auto* versions = new QLabel(VersionsText(), this);
    versions->setObjectName("lblVersions");
    versions->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(versions);
    auto* close = new QPushButton("C&lose", this);
    close->setObjectName("cmdClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    column->addWidget(close, 0, Qt::AlignRight);
}

QString AboutDialog::VersionsText() {
    return QString("Version %1\nQt %2, SQLite %3, libmdb %4")
        .arg(PELORIN_VERSION, qVersion(), ToQString(db::SqliteVersion()),
             ToQString(db::LibmdbVersion()));
}

}  // namespace pel
