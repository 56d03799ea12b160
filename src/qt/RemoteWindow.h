#pragma once

#include <QBasicTimer>
#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

#include "base/NoticeTarget.h"
#include "base/Profile.h"
#include "base/WindowTimers.h"
#include "device/DeviceLink.h"
#include "qt/FrontPanelDisplay.h"
#include "ui/ConnectionController.h"
#include "ui/DisplayComposer.h"
#include "ui/DisplayLines.h"
#include "ui/KnobRepeat.h"
#include "ui/PanelPointer.h"
#include "ui/SkinPalette.h"

namespace r512 {

// A notice of the device link (a read's WM_DEVICE_DATA, WM_PORT_FAILED or WM_PORT_OPENED),
// posted from its I/O thread to the window's event queue.
class DeviceDataEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(WM_DEVICE_DATA);
    DeviceDataEvent(std::uint32_t message, std::uint32_t requested, std::uint32_t received)
        : QEvent(kType), message(message), requested(requested), received(received) {}
    const std::uint32_t message;
    const std::uint32_t requested;
    const std::uint32_t received;
};

// The program's main window: a borderless 775 x 168 picture of the device's front panel with
// its own Minimize and Close buttons drawn in the corner, thirteen clickable areas, and the
// front-panel display. It owns the device link and runs the window's five timers.
class RemoteWindow final : public QWidget,
                           public NoticeTarget,
                           public WindowTimers,
                           public DisplayLines {
public:
    explicit RemoteWindow(Profile& profile);
    ~RemoteWindow() override;

    // Places and shows the window, builds its parts, runs the first-run step and connects.
    bool Create();

    // Begins opening the configured port; its outcome comes as a notice (ConnectionController).
    void Connect() { controller_.Connect(); }
    void RefreshCommand() { controller_.RefreshCommand(); }
    // Writes the window's normal (restored) position and the Control Panel's to the settings.
    void SavePositions();

    DeviceLink& Link() { return link_; }
    const SkinPalette& Palette() const { return palette_; }
    const QImage& Skin() const { return skin_; }

    // NoticeTarget: called on the link's I/O thread (or, for a failure found by the names
    // download or an open whose thread could not start, on this one); queues a DeviceDataEvent.
    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override;

    // WindowTimers
    void StartTimer(int id, unsigned periodMs) override;
    void StopTimer(int id) override;
    bool IsTimerRunning(int id) const override;

    // DisplayLines: the composer's lines go to the display child.
    void SetLine(const char* text, int line, bool redraw) override;

    // Loads the skin and builds its palette; false when the resource is missing.
    bool LoadSkinBitmap();

    // Carries out a command identifier: a menu item, a popup's button, a Control Panel button.
    void OnCommand(int id);

    // The hot spot whose command repeats while held, or -1.
    int RepeatingHotSpot() const { return controller_.Repeat().HotSpot(); }
    // Why the last repeat of a held knob half ended (empty while one runs).
    std::optional<RepeatStop> LastRepeatStop() const { return controller_.Repeat().LastStop(); }
    bool CaptionButtonDown(int index) const { return pointer_.CaptionDown(index); }

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { OnPointer(PointerEvent::Press, event); }
    void mouseMoveEvent(QMouseEvent* event) override { OnPointer(PointerEvent::Move, event); }
    void mouseReleaseEvent(QMouseEvent* event) override { OnPointer(PointerEvent::Release, event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        OnPointer(PointerEvent::DoubleClick, event);
    }

private:
    void DrawCaptionButton(class QPainter& painter, int index);
    void RedrawCaptionButton(int index);
    // Opens what a right click on `kind` opens: a menu or a popup.
    void ShowMenu(RightClick kind, const QPoint& globalPosition);
    // Does what the pointer decided, in order.
    void ApplyPointer(const PointerEffects& effects);
    void OnPointer(PointerEvent kind, QMouseEvent* event);
    // The window has lost the pointer for `reason`: ends the knob's repeat; harmless when
    // nothing is held.
    void StopRepeating(RepeatStop reason);
    void ConfigureCommand();
    void AboutCommand();
    void ShowControlPanelCommand();
    // Moves the Control Panel to its stored place; true when it was left open.
    bool PlaceControlPanel();
    const QCursor& CursorFor(PanelCursor kind) const {
        return kind == PanelCursor::Body ? nonClientCursor_
                                         : cursors_[static_cast<std::size_t>(kind)];
    }
    const QCursor& CursorAt(const QPoint& p) const {
        return CursorFor(PanelPointer::CursorAt(p.x(), p.y()));
    }

    Profile& profile_;
    QImage skin_;        // as stored: 8 bits per pixel with its colour table
    QImage skinPixels_;  // the same converted once for painting
    SkinPalette palette_;
    DeviceLink link_;
    FrontPanelDisplay* display_ = nullptr;  // a child ("display"): Qt deletes it with the window

    class ControlPanelDialog* controlPanel_ = nullptr;  // a child window: Qt deletes it

    std::array<std::array<QImage, 2>, 2> captionImages_{};  // [Minimize, Close][up, down]
    std::array<QCursor, 4> cursors_{};          // the first four of PanelCursor: Hand ... Arrow
    QCursor nonClientCursor_{Qt::ArrowCursor};  // over the body; the wait cursor during transfers
    class ToneDialog* tone_ = nullptr;          // children of the window: Qt deletes them with it
    class LevelsDialog* levels_ = nullptr;
    // The open popup menu, if any; a guarded pointer, as the menu deletes itself on close and
    // may outlive this object's own destructor body as its child.
    QPointer<QMenu> openMenu_;
    bool draggingBody_ = false;  // where the window system can't move the window itself
    QPoint dragOffset_;
    std::array<QBasicTimer, 5> timers_{};

    DisplayComposer composer_;
    ConnectionController controller_;
    PanelPointer pointer_{controller_.Repeat()};
};

}  // namespace r512
