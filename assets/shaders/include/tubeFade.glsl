// How the race-course tube fades with distance from the eye, shared by its two stages: the
// fragment stage fades it out, the vertex stage clips away what lies wholly beyond the fade.

const float FADE_START = 150.0;  // units from the eye where the tube starts to fade
const float FADE_END = 450.0;    // and where it is gone
// Farthest a ring's neighbour lies from it along the course (its mid points are about 10
// units apart; the margin covers the seam where the course closes).
const float RING_SPACING = 20.0;
