#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/RegisterMirror.h"

namespace r512 {

// What one control of the Control Panel shows.
struct PanelControlValue {
    enum class Kind {
        Number,  // a number field: `number`
        Check,   // a check box: marked when `number` is 1
        Radio,   // a radio button: marked (`number` 1) when it is its group's selected one
        Text,    // a status field: `text`
    };
    int id;
    Kind kind;
    int number = 0;
    std::string text;
};

// What the Control Panel shows, loaded from the register mirror: signed levels, check states,
// the radio buttons' indexes (-1: no button of the group) and the signal-status texts.
struct ControlPanelModel {
    int volume = 0;
    int mute = 0;
    int bass = 0;
    int treble = 0;
    int dimmer = 0;
    int lateNight = 0;
    int powerOn = 0;
    int tapeMonitor = 0;
    int trigger1 = 0;
    int trigger2 = 0;
    int centre = 0;
    int subwoofer = 0;
    int surround = 0;
    int zoneVolume = 0;
    int zoneMute = 0;
    int sourceIndex = -1;      // Video 1-6, CD, Aux, Tuner, Ext 5.1
    int modeIndex = -1;        // the seven mode buttons in their order on the panel
    int zoneSourceIndex = -1;  // Video 1-6, CD, Aux, Tuner
    int thxIndex = -1;         // THX Off, THX On, THX Surr Ex
    std::string audioFormat;
    std::string audioInput;
    std::string videoFormat;
    std::string videoInput;

    void Load(const RegisterMirror& mirror);

    // What each control shows, every field and button of the panel once: what a front end
    // writes into its controls.
    std::vector<PanelControlValue> ControlValues() const;

    static int SourceIndex(std::uint8_t audioSource);
    static int ModeIndex(std::uint8_t stereoMode);
    static int ZoneSourceIndex(std::uint8_t zoneSource);
    static int ThxIndex(std::uint8_t thx);
};

// How many "second-zone source: next" commands a Multi Source button sends: from the zone
// source of the last load (index k, -1 when unknown) forward around the ring of nine to button
// i; none when it is already selected.
int ZoneStepsFromPanel(int currentIndex, int targetIndex);

// The code an up-down control sends for a proposed change of position: a negative change is
// the up arrow (raise), a positive one the down arrow; 0 sends nothing (returns -1).
int UpDownCode(int upDownId, int delta);

}  // namespace r512
