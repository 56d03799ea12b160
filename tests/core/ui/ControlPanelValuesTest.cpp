// What the Control Panel's controls show, as the list both front ends write into their
// controls, held against the panel's template.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ui/ControlPanelModel.h"
#include "ui/ControlPanelTemplate.h"
#include "ui/ResourceIds.h"

namespace r512 {
namespace {

using Kind = PanelControlValue::Kind;

std::map<int, PanelControlValue> ById(const std::vector<PanelControlValue>& values) {
    std::map<int, PanelControlValue> byId;
    for (const PanelControlValue& v : values)
        EXPECT_TRUE(byId.emplace(v.id, v).second) << "twice: " << v.id;
    return byId;
}

TEST(ControlPanelValues, WhatEachControlShows) {
    ControlPanelModel model;
    model.volume = -35;
    model.treble = -12;
    model.zoneVolume = 0;
    model.mute = 2;  // only 1 shows a check mark
    model.trigger1 = 1;
    model.sourceIndex = 6;      // CD
    model.modeIndex = 1;        // Stereo Downmix, whose identifier is not next to Stereo/Direct's
    model.zoneSourceIndex = 8;  // Tuner, the last of its group
    model.thxIndex = -1;        // no button
    model.audioFormat = "Digital PCM";
    model.videoInput = "Composite";
    const std::map<int, PanelControlValue> shown = ById(model.ControlValues());

    struct Row {
        int id;
        Kind kind;
        int number;
        const char* text;
    };
    const Row rows[] = {
        {IDC_VOLUME, Kind::Number, -35, ""},
        {IDC_TREBLE, Kind::Number, -12, ""},
        {IDC_ZONE_VOLUME, Kind::Number, 0, ""},
        {IDC_MUTE, Kind::Check, 0, ""},
        {IDC_TRIGGER_1, Kind::Check, 1, ""},
        {IDC_TRIGGER_2, Kind::Check, 0, ""},
        {IDC_SOURCE_VIDEO_6, Kind::Radio, 0, ""},
        {IDC_SOURCE_CD, Kind::Radio, 1, ""},
        {IDC_SOURCE_EXT_51, Kind::Radio, 0, ""},
        {IDC_MODE_STEREO_DIRECT, Kind::Radio, 0, ""},
        {IDC_MODE_STEREO_DOWNMIX, Kind::Radio, 1, ""},
        {IDC_MODE_MONO_DOWNMIX, Kind::Radio, 0, ""},
        {IDC_ZONE_SOURCE_TUNER, Kind::Radio, 1, ""},
        {IDC_SOURCE_TUNER, Kind::Radio, 0, ""},  // the zone's index is not the main source's
        {IDC_THX_OFF, Kind::Radio, 0, ""},
        {IDC_THX_SURROUND_EX, Kind::Radio, 0, ""},
        {IDC_AUDIO_FORMAT, Kind::Text, 0, "Digital PCM"},
        {IDC_VIDEO_INPUT, Kind::Text, 0, "Composite"},
        {IDC_AUDIO_INPUT, Kind::Text, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const auto it = shown.find(row.id);
        ASSERT_NE(it, shown.end());
        EXPECT_EQ(it->second.kind, row.kind);
        EXPECT_EQ(it->second.number, row.number);
        EXPECT_EQ(it->second.text, row.text);
    }
}

// Each radio group of the template, as the dialog manager groups it: a group-flagged button and
// the radio buttons after it.
std::vector<std::vector<int>> RadioGroups() {
    std::vector<std::vector<int>> groups;
    bool inGroup = false;
    for (const DialogItem& item : kControlPanelTemplate.items) {
        if (item.kind != ControlKind::RadioButton) {
            inGroup = false;
            continue;
        }
        if (!inGroup || (item.flags & kGroupStart)) groups.emplace_back();
        inGroup = true;
        groups.back().push_back(item.id);
    }
    return groups;
}

TEST(ControlPanelValues, EveryButtonOfAGroupInTurnIsTheOnlyOneMarked) {
    const std::vector<std::vector<int>> groups = RadioGroups();
    ASSERT_EQ(groups.size(), 4u);  // sources, modes, THX, zone sources
    int ControlPanelModel::*const indexes[] = {
        &ControlPanelModel::sourceIndex, &ControlPanelModel::modeIndex,
        &ControlPanelModel::thxIndex, &ControlPanelModel::zoneSourceIndex};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (int selected = -1; selected < static_cast<int>(groups[g].size()); ++selected) {
            ControlPanelModel model;
            model.*indexes[g] = selected;
            const std::map<int, PanelControlValue> shown = ById(model.ControlValues());
            for (std::size_t b = 0; b < groups[g].size(); ++b)
                EXPECT_EQ(shown.at(groups[g][b]).number, static_cast<int>(b) == selected ? 1 : 0)
                    << "group " << g << " index " << selected << " button " << b;
        }
    }
}

TEST(ControlPanelValues, EachControlOfTheTemplateHasOneValueOfItsKind) {
    const std::map<int, PanelControlValue> shown = ById(ControlPanelModel{}.ControlValues());
    std::set<int> seen;
    for (const DialogItem& item : kControlPanelTemplate.items) {
        if (item.id == kStaticId) continue;
        EXPECT_TRUE(seen.insert(item.id).second) << "identifier twice: " << item.id;
        const auto it = shown.find(item.id);
        switch (item.kind) {
            case ControlKind::Edit:
                ASSERT_NE(it, shown.end()) << item.id;
                EXPECT_TRUE(it->second.kind == Kind::Number || it->second.kind == Kind::Text);
                EXPECT_TRUE(item.flags & kReadOnly) << item.id;  // it only shows
                break;
            case ControlKind::CheckBox:
                ASSERT_NE(it, shown.end()) << item.id;
                EXPECT_EQ(it->second.kind, Kind::Check) << item.id;
                EXPECT_FALSE(item.flags & kAutoMark) << item.id;  // the device moves the mark
                break;
            case ControlKind::RadioButton:
                ASSERT_NE(it, shown.end()) << item.id;
                EXPECT_EQ(it->second.kind, Kind::Radio) << item.id;
                EXPECT_FALSE(item.flags & kAutoMark) << item.id;
                break;
            default:
                EXPECT_EQ(it, shown.end()) << item.id;  // buttons and up-downs show nothing
        }
    }
    for (const auto& [id, value] : shown)
        EXPECT_TRUE(seen.count(id)) << "not in the template: " << id;
}

TEST(ControlPanelValues, EachUpDownWorksOnTheNumberFieldBeforeIt) {
    const auto& items = kControlPanelTemplate.items;
    int upDowns = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind != ControlKind::UpDown) continue;
        ++upDowns;
        ASSERT_GT(i, 0u);
        EXPECT_EQ(items[i - 1].kind, ControlKind::Edit) << items[i].id;
        EXPECT_NE(UpDownCode(items[i].id, -1), -1) << items[i].id;  // it sends
    }
    EXPECT_EQ(upDowns, 7);
}

}  // namespace
}  // namespace r512
