#pragma once

#include <QBasicTimer>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>

#include "base/Profile.h"
#include "qt/ControlPanelDialog.h"
#include "qt/FrontPanelDisplay.h"
#include "qt/InputBlock.h"
#include "ui/RemoteSession.h"
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
// front-panel display. Its session (the core's) owns the device link and decides; the window
// draws, runs the five timers and the dialogs.
class RemoteWindow final : public QWidget, public RemoteWindowFrontEnd {
public:
    explicit RemoteWindow(Profile& profile);
    ~RemoteWindow() override;

    // Places and shows the window, builds its parts, runs the first-run step and connects.
    bool Create();

    // Writes the window's normal (restored) position and the Control Panel's to the settings.
    void SavePositions() override;

    DeviceLink& Link() { return session_.Link(); }
    const SkinPalette& Palette() const { return palette_; }
    const QImage& Skin() const { return skin_; }
    bool IsTimerRunning(int id) const { return session_.IsTimerRunning(id); }

    // Loads the skin and builds its palette; false when the resource is missing.
    bool LoadSkinBitmap();

    // Carries out a command identifier: a menu item, a popup's button, a Control Panel button.
    void OnCommand(int id) { session_.Command(id); }

    // The hot spot whose command repeats while held, or -1.
    int RepeatingHotSpot() const { return session_.Repeat().HotSpot(); }
    // Why the last repeat of a held knob half ended (empty while one runs).
    std::optional<RepeatStop> LastRepeatStop() const { return session_.Repeat().LastStop(); }
    bool CaptionButtonDown(int index) const { return session_.CaptionDown(index); }

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
    // NoticeTarget: called on the link's I/O thread (or, for a failure found by the names
    // download or an open whose thread could not start, on this one); queues a DeviceDataEvent.
    void PostNotice(std::uint32_t message, std::uint32_t requested,
                    std::uint32_t received) override {
        QCoreApplication::postEvent(this, new DeviceDataEvent(message, requested, received));
    }
    // The composer's lines go to the display child.
    void SetLine(const char* text, int line, bool redraw) override {
        if (display_) display_->SetLine(text, line, redraw);
    }
    // The rest of RemoteWindowFrontEnd, each a Qt call or a dialog of this front end.
    bool StartWindowTimer(int id, unsigned periodMs) override;
    void StopWindowTimer(int id) override { timers_[static_cast<std::size_t>(id)].stop(); }
    bool RunConfigDialog(bool firstRun) override;
    void RunAboutDialog() override;
    void RunNames() override;
    void EnablePanel(bool enabled) override;
    void OpenPanel() override {
        if (controlPanel_) controlPanel_->Open();
    }
    void ReloadPanelIfVisible() override;
    void CloseWindow() override { close(); }
    void ApplyPointer(const PointerEffect& effect) override;

    void DrawCaptionButton(class QPainter& painter, int index);
    void RedrawCaptionButton(int index);
    // Opens what a right click on `kind` opens: a menu or a popup.
    void ShowMenu(RightClick kind, const QPoint& globalPosition);
    void OnPointer(PointerEvent kind, QMouseEvent* event);
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
    FrontPanelDisplay* display_ = nullptr;  // a child ("display"): Qt deletes it with the window

    ControlPanelDialog* controlPanel_ = nullptr;  // a child window: Qt deletes it
    // Keeps the user's input from the Control Panel while a dialog is open.
    std::optional<InputBlock> panelBlock_;

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
    std::array<QBasicTimer, RemoteSession::kTimerCount> timers_{};

    // The buttons as the window system last reported them, wherever they were let go.
    RemoteSession session_{profile_, *this,
                           [] { return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0; }};
};

}  // namespace r512
