// The shared module: the values more than one window reads or writes, the
// shared window instances, and the one sound operation.
#pragma once

#include "rules/descent.h"
#include "ui/application.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class FrmBoard;
class FrmTop10;
class FrmSpeed;

namespace modPegdrop {

inline std::string DataPath;      // the working directory at start-up, ending in "/"
inline std::string SoundPath;     // DataPath + "sounds/"
inline std::uint8_t GameMode = 0; // 0 none chosen, 1 tournament, 2 fun
inline std::int16_t Speed = 0;
inline std::int32_t Winnings = 0;
inline bool Muted = false;       // every cue silent, by the player's choice
inline std::string SettingsFile; // the player's settings; "": neither read nor saved
inline int ChosenScale = 0;      // the scale the player last chose, 0: the automatic one

inline std::string SpeedFilePath() {
    return DataPath + "speed.dat";
}

inline ui::Shared<FrmBoard> frmBoard;
inline ui::Shared<FrmTop10> frmTop10;
inline ui::Shared<FrmSpeed> frmSpeed;

// Where cues go: the audio device in the game, a recorder in tests.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    virtual void Play(const std::string& path) = 0;
    // Silences the cue sounding now, if any.
    virtual void Stop() = 0;
};
void SetSoundSink(SoundSink* sink);

// Takes the folder the game was started in as its data folder (DataPath and
// SoundPath). When it cannot be told, the paths stay empty, since going on
// would read and write the files at the root instead, and the reason is
// returned; else "".
std::string UseStartFolder();

// Finds the player's settings file and takes the choices kept there.
void UseSettings();
// Stores one choice in the settings file, keeping the others there as they are.
void SaveSetting(const std::string& key, const std::string& value);

// Mutes or unmutes every cue: muting stops the one sounding, and the board
// shows its mark. The choice is saved for the next start.
void SetMuted(bool muted);

// Plays SoundPath + name without waiting; a later cue cuts off an earlier one,
// a missing file is silent, and nothing sounds while muted.
void PlaySound(const std::string& name);

// The one pseudo-random source of the program.
pegdrop::RandomSource& Random();
void SetRandomSource(std::unique_ptr<pegdrop::RandomSource> source);

// With VARIABLE naming a file, LINE goes to it, after what it holds or in
// its place: the timings the bench and the page's tests read.
void ReportTiming(const char* variable, const std::string& line, bool append);

// make test's pace on the page: with PEGDROP_FALL_FILE set, a line "SPEED
// MICROSECONDS" for each fall, timed on the game's clock, goes to that file.
void ReportFall(std::int16_t speed, std::uint64_t us);

// Seconds since local midnight, with their fraction.
double SecondsSinceMidnight();

// How the windows' layer is set up for this game: the faces its windows ask
// for that a system may lack, PEGDROP_SCALE, through which a player names
// the scale, the scale the player last chose, and the keys that act in every
// window (Ctrl+M mutes; Ctrl+Plus, Ctrl+Minus and Ctrl+0 scale; F11 and
// Alt+Enter toggle full screen).
ui::Options ApplicationOptions();

// Once the splash is up: the pictures and the fixed text of the windows
// opened later, made ready while the player looks at it, a window at a time
// between events, so that none waits for them as it opens.
void PrepareWindowsAhead();

// Back to the values at program start (a fresh run, for tests).
void ResetSharedState();

} // namespace modPegdrop
