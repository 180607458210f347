#include "demo/DemoOptions.hpp"

#include <charconv>
#include <stdexcept>

namespace kes::demo {

namespace {

std::uint32_t parseCount(const std::string& option, const std::string& text,
                         std::uint32_t smallest) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < smallest) {
        throw std::invalid_argument(option + " expects a whole number of at least " +
                                    std::to_string(smallest) + ", not \"" + text + "\"");
    }
    return value;
}

// "WIDTHxHEIGHT", each between 16 and 8192 pixels.
void parseSize(const std::string& text, DemoOptions& options) {
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos) {
        throw std::invalid_argument("--size expects WIDTHxHEIGHT, not \"" + text + "\"");
    }
    const std::uint32_t width = parseCount("--size", text.substr(0, cross), 16);
    const std::uint32_t height = parseCount("--size", text.substr(cross + 1), 16);
    if (width > 8192 || height > 8192) {
        throw std::invalid_argument("--size is limited to 8192x8192, not \"" + text + "\"");
    }
    options.width = static_cast<std::int32_t>(width);
    options.height = static_cast<std::int32_t>(height);
}

QualitySetting parseQuality(const std::string& text) {
    if (const auto quality = qualityFromWord(text)) {
        return *quality;
    }
    throw std::invalid_argument("--quality expects auto, basic, low, medium or high, not \"" +
                                text + "\"");
}

// A number from 0.25 to 1, written with a point.
float parseScale(const std::string& text) {
    float scale = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (error != std::errc() || end != text.data() + text.size() ||
        !(scale >= Settings::kMinRenderScale && scale <= 1.0f)) {
        throw std::invalid_argument("--render-scale expects a number from 0.25 to 1, not \"" +
                                    text + "\"");
    }
    return scale;
}

// The demo's pictures are taken along a flight; a free camera would stand where it began.
CameraView parseCamera(const std::string& text) {
    const auto view = cameraViewFrom(text);
    if (!view || *view == CameraView::free) {
        throw std::invalid_argument("--camera expects chase, orbit or trackside, not \"" + text +
                                    "\"");
    }
    return *view;
}

// The replay's speed: 0.25 to 4, written with a point.
float parseSpeed(const std::string& text) {
    float speed = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
    if (error != std::errc() || end != text.data() + text.size() ||
        !(speed >= 0.25f && speed <= 4.0f)) {
        throw std::invalid_argument("--speed expects a number from 0.25 to 4, not \"" + text +
                                    "\"");
    }
    return speed;
}

}  // namespace

DemoOptions parseDemoOptions(const std::vector<std::string>& arguments) {
    DemoOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) {
                throw std::invalid_argument(option + " needs a value");
            }
            return arguments[++i];
        };
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--rounds") {
            options.rounds = parseCount(option, value(), 1);
        } else if (option == "--size") {
            parseSize(value(), options);
        } else if (option == "--screenshots") {
            options.screenshotFolder = value();
        } else if (option == "--screenshot-every") {
            options.screenshotEvery = parseCount(option, value(), 0);
        } else if (option == "--frames") {
            options.frameLimit = parseCount(option, value(), 1);
        } else if (option == "--quality") {
            options.quality = parseQuality(value());
        } else if (option == "--render-scale") {
            options.renderScale = parseScale(value());
        } else if (option == "--course") {
            options.course = value();
        } else if (option == "--replay") {
            options.replay = value();
        } else if (option == "--speed") {
            options.speed = parseSpeed(value());
        } else if (option == "--from-ring") {
            options.fromRing = parseCount(option, value(), 0);
        } else if (option == "--pace") {
            options.pace = parseCount(option, value(), 10);
            if (*options.pace > 1000.0) {
                throw std::invalid_argument("--pace is limited to 1000 passes a second");
            }
        } else if (option == "--camera") {
            options.camera = parseCamera(value());
        } else if (option == "--restart-after") {
            options.restartAfter = parseCount(option, value(), 1);
        } else if (option == "--targets") {
            options.targets = true;
        } else if (option == "--ghost-out") {
            options.ghostOut = value();
        } else if (option == "--gpu-timing") {
            options.gpuTiming = true;
        } else if (option == "--audio-out") {
            options.audioOut = value();
        } else {
            throw std::invalid_argument("unknown option \"" + option + "\"");
        }
    }
    if (!options.replay.empty() && options.course) {
        throw std::invalid_argument("--replay flies the ghost's own course; leave out --course");
    }
    if (options.fromRing && options.replay.empty()) {
        throw std::invalid_argument("--from-ring starts a replay further in; give --replay");
    }
    if (options.targets && !options.replay.empty()) {
        throw std::invalid_argument("--targets flies the autopilot; leave out --replay");
    }
    if (options.restartAfter != 0 && !options.replay.empty()) {
        throw std::invalid_argument("--restart-after is for the autopilot; leave out --replay");
    }
    if (options.renderScale && options.quality == QualitySetting::automatic) {
        throw std::invalid_argument(
            "--render-scale needs a fixed --quality: under auto the game "
            "chooses the scale itself");
    }
    return options;
}

const char* demoUsage() {
    return "Usage: driftline-demo [options]\n"
           "Flies the ship through the target zones by itself and prints where the time goes.\n"
           "\n"
           "  --rounds N             rounds to fly before stopping (default 1)\n"
           "  --size WxH             window size, e.g. 640x480 (default: the settings file's)\n"
           "  --quality Q            auto, basic, low, medium or high (default: the settings "
           "file's)\n"
           "  --render-scale S       the picture drawn at S (0.25 to 1) times the window's size\n"
           "                         and scaled up; for a fixed quality (default: settings)\n"
           "  --course NAME          the course to fly: a course file's name or seed:N\n"
           "                         (default: the settings file's)\n"
           "  --replay FILE.ghost    fly the ghost's recorded controls instead of the autopilot,\n"
           "                         on its course, and say whether its round time comes again\n"
           "  --speed S              simulated seconds a second of real time, 0.25 to 4\n"
           "                         (default 1); the round's time is the same at any speed\n"
           "  --from-ring K          with --replay: fly the replay up to ring K at once,\n"
           "                         drawing nothing, and watch it from there\n"
           "  --pace N               at most N passes a second (10 to 1000; default: as\n"
           "                         many as come): a replay's passes then count the same\n"
           "                         on any machine fast enough\n"
           "  --camera C             the camera of the pictures: chase (default), orbit\n"
           "                         (around the ship) or trackside (by the next ring)\n"
           "  --ghost-out FILE       write the ghost of the last round flown to FILE\n"
           "  --restart-after S      restart the race once after S seconds of flight, as R\n"
           "                         does; the rounds after it start mid-run\n"
           "  --targets              print the course's target times (bronze, silver, gold,\n"
           "                         prime) and exit; no window is opened (with --ghost-out,\n"
           "                         the prime round's ghost is written too)\n"
           "  --screenshots FOLDER   where screenshots and the profile CSV go\n"
           "                         (default demo-output)\n"
           "  --screenshot-every N   a screenshot every N passes of the loop (default 600;\n"
           "                         0: only the first frame)\n"
           "  --frames N             stop after N passes even if the rounds are not flown\n"
           "  --gpu-timing           time each render pass on the GPU (slows the frame a little)\n"
           "  --audio-out FILE.wav   record what the game played, in step with the simulation\n"
           "                         (a relative FILE goes beside the screenshots)\n"
           "  --help                 this text\n";
}

}  // namespace kes::demo
