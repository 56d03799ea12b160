// The identifiers of the menu commands and of the dialogs' controls. They are plain macros, as
// resource identifiers traditionally are, because the Windows resource script reads this same
// header (its compiler understands #define, not C++): one definition for the dialog templates,
// the menus, the command set, the Qt dialogs and the tests.
#pragma once

// Dialog buttons with the platform's own meaning.
#define IDC_OK 1
#define IDC_CANCEL 2
// The Control Panel's "Refresh" and the Names dialog's "Defaults" button.
#define IDC_REFRESH 3
#define IDC_DEFAULTS 3

// Program Configuration: the port radio group (COM1 to COM4, Other), the other port's name and
// the speed radio group ("12000", "9600").
#define IDC_PORT_COM1 1005
#define IDC_PORT_COM2 1006
#define IDC_PORT_COM3 1007
#define IDC_PORT_COM4 1008
#define IDC_PORT_OTHER 1009
#define IDC_OTHER_PORT_NAME 1010
#define IDC_SPEED_12000 1011
#define IDC_SPEED_9600 1012

// R512 Control Panel.
#define IDC_VOLUME 1013
#define IDC_MUTE 1014
#define IDC_BASS 1015
#define IDC_TREBLE 1016
#define IDC_POWER_ON 1017
#define IDC_DIMMER 1018
#define IDC_TAPE_MONITOR 1019
#define IDC_LATE_NIGHT 1020
#define IDC_TRIGGER_1 1021
#define IDC_TRIGGER_2 1022
#define IDC_SURROUND 1023
#define IDC_SUBWOOFER 1024
#define IDC_CENTER 1025
#define IDC_ZONE_VOLUME 1026
#define IDC_ZONE_MUTE 1027
#define IDC_VOLUME_SPIN 1028
#define IDC_ZONE_VOLUME_SPIN 1029
#define IDC_TREBLE_SPIN 1030
#define IDC_BASS_SPIN 1031
#define IDC_CENTER_SPIN 1032
#define IDC_SURROUND_SPIN 1033
#define IDC_SUBWOOFER_SPIN 1034
// The source radio group: Video 1 to 6, CD, Aux, Tuner, Ext 5.1.
#define IDC_SOURCE_VIDEO_1 1038
#define IDC_SOURCE_VIDEO_2 1039
#define IDC_SOURCE_VIDEO_3 1040
#define IDC_SOURCE_VIDEO_4 1041
#define IDC_SOURCE_VIDEO_5 1042
#define IDC_SOURCE_VIDEO_6 1043
#define IDC_SOURCE_CD 1044
#define IDC_SOURCE_AUX 1045
#define IDC_SOURCE_TUNER 1046
#define IDC_SOURCE_EXT_51 1047
// The mode radio group, in the order the panel lists them.
#define IDC_MODE_STEREO_DIRECT 1048
#define IDC_MODE_MONO_DOWNMIX 1049
#define IDC_MODE_PROLOGIC 1050
#define IDC_MODE_BYPASS 1051
#define IDC_MODE_EARS 1052
#define IDC_MODE_SURROUND_61 1062
#define IDC_MODE_STEREO_DOWNMIX 1063
// The Multi Source (second zone) source radio group: Video 1 to 6, CD, Aux, Tuner.
#define IDC_ZONE_SOURCE_VIDEO_1 1053
#define IDC_ZONE_SOURCE_VIDEO_2 1054
#define IDC_ZONE_SOURCE_VIDEO_3 1055
#define IDC_ZONE_SOURCE_VIDEO_4 1056
#define IDC_ZONE_SOURCE_VIDEO_5 1057
#define IDC_ZONE_SOURCE_VIDEO_6 1058
#define IDC_ZONE_SOURCE_CD 1059
#define IDC_ZONE_SOURCE_AUX 1060
#define IDC_ZONE_SOURCE_TUNER 1061
// The THX radio group.
#define IDC_THX_OFF 1071
#define IDC_THX_ON 1072
#define IDC_THX_SURROUND_EX 1073
// Signal status.
#define IDC_AUDIO_INPUT 1074
#define IDC_AUDIO_FORMAT 1075
#define IDC_VIDEO_INPUT 1076
#define IDC_VIDEO_FORMAT 1077

// The Tone and Levels popups' buttons; each is also the command it posts to the window.
#define IDC_BASS_DOWN 1078
#define IDC_SURROUND_DOWN 1079
#define IDC_SUBWOOFER_UP 1080
#define IDC_CENTER_UP 1081
#define IDC_SURROUND_UP 1082
#define IDC_TREBLE_UP 1083
#define IDC_BASS_UP 1084
#define IDC_SUBWOOFER_DOWN 1085
#define IDC_TREBLE_DOWN 1086
#define IDC_CENTER_DOWN 1087

// Names: source names 1 to 9 (name n in IDC_SOURCE_NAME_1 + n - 1), the welcome and standby
// messages' two lines each.
#define IDC_SOURCE_NAME_1 1088
#define IDC_SOURCE_NAME_9 1096
#define IDC_WELCOME_1 1097
#define IDC_WELCOME_2 1098
#define IDC_STANDBY_1 1099
#define IDC_STANDBY_2 1100

// Menu commands.
#define ID_VIDEO_1 32771
#define ID_VIDEO_2 32772
#define ID_VIDEO_3 32773
#define ID_VIDEO_4 32774
#define ID_VIDEO_5 32775
#define ID_AUDIO_CD 32776
#define ID_AUDIO_AUX 32777
#define ID_AUDIO_TUNER 32778
#define ID_VIDEO_6 32779
#define ID_TAPE_ON 32780
#define ID_TAPE_OFF 32781
#define ID_TAPE_TOGGLE 32782
#define ID_EXIT 32783
#define ID_CONFIGURE 32784
#define ID_POWER_WAKE_UP 32785
#define ID_POWER_STANDBY 32786
#define ID_POWER_TOGGLE 32787
#define ID_ZONE_VIDEO_1 32790
#define ID_MODE_STEREO_DIRECT 32798
#define ID_CONTROL_PANEL 32800
#define ID_ZONE_VIDEO_2 32801
#define ID_ZONE_VIDEO_3 32802
#define ID_ZONE_VIDEO_4 32803
#define ID_ZONE_VIDEO_5 32804
#define ID_ZONE_VIDEO_6 32805
#define ID_ZONE_CD 32806
#define ID_ZONE_AUX 32807
#define ID_ZONE_TUNER 32808
#define ID_REFRESH 32809
#define ID_MODE_STEREO_DOWNMIX 32810
#define ID_MODE_MONO_DOWNMIX 32811
#define ID_MODE_BYPASS 32812
#define ID_MODE_EARS 32813
#define ID_MODE_PROLOGIC 32814
#define ID_MODE_SURROUND_61 32815
#define ID_THX_OFF 32816
#define ID_THX_ON 32817
#define ID_THX_SURROUND_EX 32818
#define ID_NAMES 32819
#define ID_ABOUT 32820
