#include "qt/PopupPanel.h"

#include <qdrawutil.h>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "qt/CommandEvent.h"
#include "qt/QtDialogUnits.h"
#include "ui/CommandSet.h"

namespace r512 {

namespace {
// The raised frame of a caption-less dialog: two bevelled lines and one of the face colour,
// around the client area that the layout's dialog units describe.
constexpr int kFrameWidth = 3;
}  // namespace

PopupPanel::PopupPanel(QWidget* owner, int widthUnits, int heightUnits,
                       const std::vector<Control>& controls)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(DialogFont());
    const DialogUnits units = DialogUnitsFor(font());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setGeometry(kFrameWidth, kFrameWidth, units.X(widthUnits), units.Y(heightUnits));
    setFixedSize(client->width() + 2 * kFrameWidth, client->height() + 2 * kFrameWidth);
    for (const Control& control : controls) {
        const DialogUnits::PixelRect r =
            units.Rect(control.x, control.y, control.width, control.height);
        QWidget* widget = nullptr;
        if (control.id != 0) {
            auto* button = new QPushButton(QString::fromLatin1(control.text), client);
            // Neither panel has a default button: Enter presses the button that has the focus.
            button->setProperty("controlId", control.id);
            const int id = control.id;
            QWidget* target = owner;
            connect(button, &QPushButton::clicked, this, [target, id] {
                // Posted, so that quick clicks queue their commands in order.
                if (target) QCoreApplication::postEvent(target, new CommandEvent(id));
            });
            widget = button;
        } else {
            auto* label = new QLabel(QString::fromLatin1(control.text), client);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            widget = label;
        }
        widget->setGeometry(r.x, r.y, r.width, r.height);
    }
}

void PopupPanel::ShowAt(const QPoint& globalPosition) {
    move(globalPosition);
    show();
    raise();
    activateWindow();
}

void PopupPanel::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) hide();
}

void PopupPanel::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

ToneDialog::ToneDialog(QWidget* owner)
    : PopupPanel(owner, 45, 19,
                 {{0, "Treble", 10, 0, 25, 8},
                  {0, "Bass", 10, 10, 25, 8},
                  {IDC_TREBLE_UP, "+", 35, 0, 9, 10},
                  {IDC_BASS_UP, "+", 35, 10, 9, 10},
                  {IDC_TREBLE_DOWN, "-", 0, 0, 9, 10},
                  {IDC_BASS_DOWN, "-", 0, 10, 9, 10}}) {
    setObjectName(QStringLiteral("tone"));
}

LevelsDialog::LevelsDialog(QWidget* owner)
    : PopupPanel(owner, 49, 30,
                 {{IDC_SUBWOOFER_DOWN, "-", 0, 0, 9, 10},
                  {IDC_CENTER_DOWN, "-", 0, 10, 9, 10},
                  {IDC_SURROUND_DOWN, "-", 0, 20, 9, 10},
                  {IDC_SUBWOOFER_UP, "+", 40, 0, 9, 10},
                  {IDC_CENTER_UP, "+", 40, 10, 9, 10},
                  {IDC_SURROUND_UP, "+", 40, 20, 9, 10},
                  {0, "Sub.W", 10, 0, 25, 8},
                  {0, "Center", 10, 10, 25, 8},
                  {0, "Surr.", 10, 20, 25, 8}}) {
    setObjectName(QStringLiteral("levels"));
}

}  // namespace r512
