// The command line of the demo: how many rounds to fly, the window size, the picture's quality,
// screenshots, a frame limit, GPU timing and a recording of the sound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/Settings.hpp"
#include "render/CameraRig.hpp"

namespace kes::demo {

struct DemoOptions {
    std::uint32_t rounds = 1;
    std::optional<std::int32_t> width;  // the settings file's size when not given
    std::optional<std::int32_t> height;
    std::filesystem::path screenshotFolder = "demo-output";
    std::uint32_t screenshotEvery = 600;  // passes; 0: no screenshots but the first frame
    std::uint32_t frameLimit = 0;         // passes; 0: until the rounds are flown
    bool gpuTiming = false;
    // The picture's quality and scale; the settings file's when not given.
    std::optional<QualitySetting> quality;
    std::optional<float> renderScale;
    // The course flown ("prime-loop", "seed:42"); the settings file's when not given.
    std::optional<std::string> course;
    // A ghost file whose recorded controls are flown instead of the autopilot's, on its course.
    std::filesystem::path replay;
    // Simulated seconds a second of real time, 0.25 to 4: the replay watched slowed or sped up
    // (the loop takes up to that many steps a pass), its round time the same.
    float speed = 1.0f;
    // At most this many passes a second (10 to 1000); none: as many as come.
    std::optional<double> pace;
    // Ring K (0 to the last) at which the replay starts: the steps before it are flown at once,
    // drawing nothing; none: from the flight's start.
    std::optional<std::uint32_t> fromRing;
    // The camera the pictures are taken with: chase (the race's), orbit or trackside.
    CameraView camera = CameraView::chase;
    // Seconds of flight after which the race is restarted once, as R does (0: never): the
    // rounds flown after it start mid-run, with the asteroids elsewhere and the clocks on.
    std::uint32_t restartAfter = 0;
    // Prints the course's target times and exits, flying no window.
    bool targets = false;
    // Where the ghost of the last round flown is written; empty: none.
    std::filesystem::path ghostOut;
    // Where the game's mix is written as a WAV; empty: not recorded. A relative path lies in
    // the screenshot folder.
    std::filesystem::path audioOut;
    bool help = false;

    // The recording's file: `audioOut`, inside the screenshot folder when relative.
    std::filesystem::path recordingPath() const {
        return audioOut.is_absolute() ? audioOut : screenshotFolder / audioOut;
    }
};

// Throws std::invalid_argument with a message naming the bad argument.
DemoOptions parseDemoOptions(const std::vector<std::string>& arguments);

const char* demoUsage();

}  // namespace kes::demo
