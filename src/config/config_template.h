// The configuration dialog's template IDD_CONFIG: control ids and texts
#pragma once

constexpr int kIdOk          = 1;    // default push button "OK"
constexpr int kIdCancel      = 2;    // "Abbrechen"; also Escape and the close box
constexpr int kIdFirstFamily = 1000; // radio button 1000 + n picks family n
constexpr int kFamilyCount   = 9;

constexpr const char* kDialogCaption = "Configuration ...";
constexpr const char* kGroupCaption  = "Select UCode ...";
constexpr const char* kCancelText    = "Abbrechen";
constexpr const char* kNoteText =
    "Note: if your video.dll crashes you probably have selected a wrong UCode";
constexpr const char* kFamilyLabels[kFamilyCount] = {
    "0 - Ex. Mario64, Demos",    "1 - Ex. Mario Kart",     "2 - Ex. Waveracer USA",
    "3 - Ex. Mortal Kombat 4",   "4 - Ex. Zelda",          "5 - Ex. Dark Project",
    "6 - Ex. Diddy Kong Racing", "7 - 2D sprites (S2DEX)", "8 - 2D sprites (S2DEX2)"};
