#include "game/level/CourseRun.hpp"

#include <iostream>

#include "game/race/FastestRound.hpp"

namespace kes {

CourseRun::CourseRun(App& app, Renderer& renderer, LevelScene& scene, Course course,
                     bool keepRecords, bool recordsSaid, RoundHistory& history,
                     std::function<const TargetTimes*()> targets)
    : simulation(app.physics, app.settings.difficulty, std::move(course)),
      recorder(simulation.course),
      ghosts(keepRecords ? app.folders.data : std::filesystem::path(), simulation.course,
             std::cout),
      tally(simulation.course, history, std::move(targets)) {
    recorder.playerName = app.settings.playerName;
    if (keepRecords) {
        records.emplace(app.folders.data, simulation.race, std::cout, keyOf(simulation.course),
                        recordFitOf(simulation.course), !recordsSaid);
    }
    scene.addTube(renderer, simulation);
    scene.addNodes(renderer, app.physics, simulation);
}

void CourseRun::release(Renderer& renderer, LevelScene& scene, PhysicsService& physics) {
    scene.removeNodes(renderer, physics);
    simulation.releaseBodies(physics);
}

}  // namespace kes
