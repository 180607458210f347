// The bloom effect on its own, against the same glow computed on the CPU from the kernel's
// weights: a dim picture with a few bright pixels on its edges, in a corner and inside. Every
// pixel must match, so a wrong tap, weight, threshold or edge rule shows wherever it acts.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/packing.hpp>

#include "gpu/Framebuffers.hpp"
#include "gpu/Texture.hpp"
#include "render/PostProcess.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 70;

struct Picture {
    std::vector<glm::vec3> pixels = std::vector<glm::vec3>(kWidth * kHeight, glm::vec3(0.0f));

    glm::vec3& at(int x, int y) { return pixels[static_cast<std::size_t>(y * kWidth + x)]; }
    // Outside the picture the edge pixel repeats, as the blur's images clamp.
    glm::vec3 clamped(int x, int y) const {
        x = std::clamp(x, 0, kWidth - 1);
        y = std::clamp(y, 0, kHeight - 1);
        return pixels[static_cast<std::size_t>(y * kWidth + x)];
    }
};

// What a half-float image stores of `value`.
glm::vec3 asStored(const glm::vec3& value) {
    glm::vec3 stored;
    for (int c = 0; c < 3; ++c) {
        stored[c] = glm::unpackHalf1x16(glm::packHalf1x16(value[c]));
    }
    return stored;
}

// The bright pass: the light above the threshold, faded in over the knee.
glm::vec3 brightPart(const glm::vec3& colour) {
    const float luminance = glm::dot(colour, glm::vec3(0.2126f, 0.7152f, 0.0722f));
    float soft = std::clamp(luminance - 1.0f + 0.5f, 0.0f, 1.0f);
    soft = soft * soft / (2.0f + 1e-4f);
    const float contribution = std::max(soft, luminance - 1.0f) / std::max(luminance, 1e-4f);
    return colour * contribution;
}

// A linear-filtered read `offset` texels from pixel (x, y) along one axis.
glm::vec3 filtered(const Picture& image, int x, int y, float offset, bool alongX) {
    const float position = float(alongX ? x : y) + offset;
    const float below = std::floor(position);
    const float weight = position - below;
    const int near = static_cast<int>(below);
    const glm::vec3 a = alongX ? image.clamped(near, y) : image.clamped(x, near);
    const glm::vec3 b = alongX ? image.clamped(near + 1, y) : image.clamped(x, near + 1);
    return a * (1.0f - weight) + b * weight;
}

// One blur pass: a nine-tap kernel in five linear reads, spread to twice the texel spacing.
Picture blurred(const Picture& image, bool alongX) {
    const float offsets[] = {2.0f * 1.3846154f, 2.0f * 3.2307692f};
    const float weights[] = {0.2270270f, 0.3162162f, 0.0702703f};
    Picture result;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            glm::vec3 sum = image.clamped(x, y) * weights[0];
            for (int i = 0; i < 2; ++i) {
                sum += filtered(image, x, y, offsets[i], alongX) * weights[i + 1];
                sum += filtered(image, x, y, -offsets[i], alongX) * weights[i + 1];
            }
            result.at(x, y) = asStored(sum);
        }
    }
    return result;
}

Picture bloomOnTheCpu(Picture input) {
    Picture glow;
    for (std::size_t i = 0; i < input.pixels.size(); ++i) {
        glow.pixels[i] = asStored(brightPart(input.pixels[i]));
    }
    for (int round = 0; round < PostProcessEffect_Bloom::kBlurRounds; ++round) {
        glow = blurred(blurred(glow, true), false);
    }
    for (std::size_t i = 0; i < input.pixels.size(); ++i) {
        input.pixels[i] = asStored(input.pixels[i] + glow.pixels[i] * 0.8f);
    }
    return input;
}

Picture bloomOnTheGpu(const Picture& input) {
    std::vector<glm::vec4> upload;
    for (const glm::vec3& pixel : input.pixels) {
        upload.emplace_back(pixel, 1.0f);
    }
    const Texture image(kWidth, kHeight, GL_RGBA16F, GL_FLOAT);
    glBindTexture(GL_TEXTURE_2D, image.id);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_RGBA, GL_FLOAT, upload.data());

    const dsbuffer depthStencil(kWidth, kHeight);
    const GBuffer gbuffer(kWidth, kHeight, depthStencil.id);
    PostProcessEffect_Bloom bloom(DRIFTLINE_ASSETS_DIR, kWidth, kHeight, kNoDepthStencil);
    glViewport(0, 0, kWidth, kHeight);
    // Twice, as frames follow each other: the second must not build on the first.
    GlStateCache state;
    const GLuint source = image.id;
    bloom.apply(gbuffer, &source, state);
    bloom.apply(gbuffer, &source, state);

    std::vector<glm::vec4> download(upload.size());
    glBindTexture(GL_TEXTURE_2D, bloom.output.id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, download.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    Picture output;
    for (std::size_t i = 0; i < download.size(); ++i) {
        output.pixels[i] = glm::vec3(download[i]);
    }
    return output;
}

class BloomTest : public test::GlTest {};

TEST_F(BloomTest, TheGlowIsTheBlurComputedOnTheCpuAndStopsAtThePictureEdges) {
    Picture input;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            input.at(x, y) = glm::vec3(0.02f * float(x % 7), 0.1f, 0.03f * float(y % 5));
        }
    }
    // On the left edge: with the picture wrapping round, its glow would light the right edge.
    input.at(0, 35) = glm::vec3(30.0f, 20.0f, 10.0f);
    input.at(kWidth - 1, kHeight - 1) = glm::vec3(40.0f);   // in the bottom right corner
    input.at(47, 47) = glm::vec3(5.0f, 25.0f, 5.0f);        // inside
    input.at(57, 2) = glm::vec3(12.0f, 12.0f, 30.0f);       // near the top
    input.at(kWidth - 1, 9) = glm::vec3(1.5f, 1.2f, 0.8f);  // just over the threshold

    const Picture expected = bloomOnTheCpu(input);
    const Picture drawn = bloomOnTheGpu(input);

    int glowing = 0;
    float worst = 0.0f;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const glm::vec3 want = expected.clamped(x, y);
            const glm::vec3 got = drawn.clamped(x, y);
            const glm::vec3 tolerance = 0.01f * want + 2e-3f;
            const glm::vec3 error = glm::abs(got - want);
            worst = std::max({worst, error.r, error.g, error.b});
            EXPECT_TRUE(glm::all(glm::lessThanEqual(error, tolerance)))
                << "pixel " << x << ", " << y << ": drawn (" << got.r << ", " << got.g << ", "
                << got.b << "), computed (" << want.r << ", " << want.g << ", " << want.b << ")";
            if (glm::any(glm::greaterThan(want - input.clamped(x, y), glm::vec3(0.01f)))) {
                ++glowing;
            }
        }
    }
    // The glow spreads far beyond the bright pixels, but not over the whole picture.
    EXPECT_GT(glowing, 1500);
    EXPECT_LT(glowing, kWidth * kHeight - 500);
    RecordProperty("largest difference", std::to_string(worst));
}

}  // namespace
}  // namespace kes
