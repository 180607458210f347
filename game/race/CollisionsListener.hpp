// Turns the physics world's contact reports into the game's typed events: the ship starting to
// touch a target zone or an asteroid. Bodies are recognised by pointer alone, by the checker.
#pragma once

#include <cstdint>

#include "physics/Physics.hpp"

namespace kes {

// What the game knows about its bodies; the game layer answers.
class ColliderTypeChecker {
public:
    virtual bool isShip(const CollisionBody* body) = 0;
    // -1 when the body is no target zone.
    virtual std::int32_t getTargetZoneIndex(const CollisionBody* body) = 0;
    virtual void onTargetZoneTouched(std::int32_t index) = 0;
    // -1 when the body is no asteroid.
    virtual std::int32_t getAsteroidIndex(const CollisionBody* body) = 0;
    virtual void onAsteroidTouched(std::int32_t index) = 0;

protected:
    ~ColliderTypeChecker() = default;
};

class CollisionsListener final : public EventListener {
public:
    explicit CollisionsListener(ColliderTypeChecker* checker_) : checker(checker_) {}

    // Only the first step of a contact counts: a ship that stays inside a zone is reported once.
    void onContact(const CallbackData& data) override;

    ColliderTypeChecker* const checker;
};

}  // namespace kes
