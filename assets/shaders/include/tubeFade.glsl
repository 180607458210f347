// How the race-course tube fades with distance from the eye, shared by its two stages: the
// fragment stage fades it out, the vertex stage clips away what lies wholly beyond the fade.

const float FADE_START = 150.0;  // units from the eye where the tube starts to fade
const float FADE_END = 450.0;    // and where it is gone
// Farthest apart two rings joined by one triangle of the tube lie: the course's mid points are
// 10 units apart on average but up to 20 where it bends (a unit test measures the course's
// strip against this value).
const float RING_SPACING = 25.0;
