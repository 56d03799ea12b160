#include "qt/AboutDialog.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "qt/DialogControls.h"
#include "qt/QtDialogUnits.h"

namespace r512 {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About"));
    setFont(DialogFont());
    const DialogUnits u = DialogUnitsFor(font());
    setFixedSize(u.X(162), u.Y(81));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icon/r512-32.png")).pixmap(32, 32));
    PlaceAt(icon, u, 5, 5, 20, 20);
    icon->resize(qMax(icon->width(), 32), qMax(icon->height(), 32));
    auto text = [&](const char* content, int x, int y, int w) {
        auto* label = new QLabel(QString::fromLatin1(content), this);
        PlaceAt(label, u, x, y, w, 8);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    };
    text("ZEL R512 Control Software", 48, 5, 89);
    text("v1.00", 71, 15, 19);
    text("www.zel-audio.example", 41, 40, 80);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceAt(ok, u, 56, 60, 50, 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace r512
