#include "qt/PopupPanel.h"

#include <qdrawutil.h>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>

#include "qt/CommandEvent.h"
#include "qt/QtDialogUnits.h"
#include "qt/TemplateControls.h"
#include "ui/DialogTemplates.h"

namespace r512 {

namespace {
// The raised frame of a caption-less dialog: two bevelled lines and one of the face colour,
// around the client area that the layout's dialog units describe.
constexpr int kFrameWidth = 3;
}  // namespace

PopupPanel::PopupPanel(QWidget* owner, const DialogTemplate& layout)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFont(DialogFont());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    const TemplateControls controls(layout, client);
    client->move(kFrameWidth, kFrameWidth);
    setFixedSize(client->width() + 2 * kFrameWidth, client->height() + 2 * kFrameWidth);
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const int id = layout.items[i].id;
        if (id == kStaticId) continue;
        QWidget* target = owner;
        connect(static_cast<QPushButton*>(controls.At(i)), &QPushButton::clicked, this,
                [target, id] {
                    // Posted, so that quick clicks queue their commands in order.
                    if (target) QCoreApplication::postEvent(target, new CommandEvent(id));
                });
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

ToneDialog::ToneDialog(QWidget* owner) : PopupPanel(owner, kToneTemplate) {
    setObjectName(QStringLiteral("tone"));
}

LevelsDialog::LevelsDialog(QWidget* owner) : PopupPanel(owner, kLevelsTemplate) {
    setObjectName(QStringLiteral("levels"));
}

}  // namespace r512
