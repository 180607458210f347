#include "game/race/CollisionsListener.hpp"

#include <algorithm>

namespace kes {

void CollisionsListener::onContact(const CallbackData& data) {
    for (std::size_t p = 0; p < data.getNbContactPairs(); ++p) {
        const ContactPair& pair = data.getContactPair(p);
        const CollisionBody* body1 = pair.getBody1();
        const CollisionBody* body2 = pair.getBody2();
        const bool ship = checker->isShip(body1) || checker->isShip(body2);
        if (pair.getEventType() != ContactPair::EventType::ContactStart) {
            continue;
        }
        const std::int32_t zone1 = checker->getTargetZoneIndex(body1);
        const std::int32_t zone2 = checker->getTargetZoneIndex(body2);
        const std::int32_t asteroid1 = checker->getAsteroidIndex(body1);
        const std::int32_t asteroid2 = checker->getAsteroidIndex(body2);
        if (!ship) {
            continue;
        }
        // A pair that is both a zone and an asteroid contact counts as the zone.
        if (const std::int32_t zone = std::max(zone1, zone2); zone > -1) {
            checker->onTargetZoneTouched(zone);
        } else if (const std::int32_t asteroid = std::max(asteroid1, asteroid2); asteroid > -1) {
            checker->onAsteroidTouched(asteroid);
        }
    }
}

}  // namespace kes
