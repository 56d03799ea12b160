#include "win32/MenuResources.h"

#include "win32/Win32Resources.h"

namespace r512 {

int MenuResourceFor(RightClick kind) {
    switch (kind) {
        case RightClick::FileMenu:
            return IDR_MENU_FILE;
        case RightClick::PowerMenu:
            return IDR_MENU_POWER;
        case RightClick::AudioMenu:
            return IDR_MENU_AUDIO;
        case RightClick::VideoMenu:
            return IDR_MENU_VIDEO;
        case RightClick::TapeMonitorMenu:
            return IDR_MENU_TAPE_MONITOR;
        case RightClick::MultiSourceMenu:
            return IDR_MENU_MULTI_SOURCE;
        case RightClick::ModeMenu:
            return IDR_MENU_MODE;
        case RightClick::None:
        case RightClick::LevelsPopup:
        case RightClick::TonePopup:
            break;
    }
    return 0;
}

}  // namespace r512
