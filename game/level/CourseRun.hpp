// What a course decides in the level: the race on it (the simulation with its bodies), its
// records, the recorder of the flight, the course's ghost, and the tube and the nodes drawn for
// it. Another course gets a new run while the renderer with its targets and programs, the
// models, the display, the cues and the camera stay with the race layer.
#pragma once

#include <functional>
#include <optional>

#include "app/App.hpp"
#include "game/course/Course.hpp"
#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/GhostKeeper.hpp"
#include "game/level/LevelScene.hpp"
#include "game/level/RoundTally.hpp"
#include "game/race/RaceSimulation.hpp"
#include "game/race/RecordKeeper.hpp"
#include "render/Renderer.hpp"

namespace kes {

class CourseRun {
public:
    // Lays out `course` in `app`'s physics world and `scene`'s nodes in `renderer`; reads its
    // records (a skipped section said unless `recordsSaid`) and its ghost when `keepRecords`.
    // Its finished rounds go into `history` with the medal `targets` gives them.
    CourseRun(App& app, Renderer& renderer, LevelScene& scene, Course course, bool keepRecords,
              bool recordsSaid, RoundHistory& history, std::function<const TargetTimes*()> targets);
    CourseRun(const CourseRun&) = delete;
    CourseRun& operator=(const CourseRun&) = delete;

    // Takes the course's nodes out of the renderer and its bodies out of the world, which
    // stay: before another course's run is made. (At the end of the game the world goes first,
    // with every body.)
    void release(Renderer& renderer, LevelScene& scene, PhysicsService& physics);

    RaceSimulation simulation;
    std::optional<RecordKeeper> records;  // none when the launcher keeps no records
    // Every step of the flight, for the ghosts; the course's ghost across runs (kept on disk
    // only when records are).
    FlightRecorder recorder;
    GhostKeeper ghosts;
    RoundTally tally;
};

}  // namespace kes
