#include "tools/RavTools.h"

#include "gamefiles/RavFile.h"
#include "gamefiles/RavObjectKinds.h"
#include "output/Format.h"

#include <cmath>

// The shading darkens the crowd linearly with the distance beyond a central
// rectangle of the ground plane (|x| <= 2500, |z| <= 3500), so that the
// outermost vertices in x or z get the darkest factor. The mix of single and
// double precision below is what earlier files were shaded with; changing it
// would move colours by one step.

namespace {

constexpr float kPercent = 0.01f;
constexpr float kDarkestLimit = 0.9999f;
constexpr double kInnerX = 2500.0;
constexpr double kInnerZ = 3500.0;

// The contribution per unit of distance. At extent == inner, IEEE division
// gives +inf (range > 0); every product with it is then negative or
// undefined and counts as no contribution.
double FactorPerUnit(float extent, double inner, double range) {
    return 1.0 / ((static_cast<double>(extent) - inner) / range);
}

// A negative or undefined contribution counts as none.
double Contribution(double distance, double factor) {
    const double value = distance * factor;
    return value >= 0 ? value : 0.0;
}

} // namespace

bool CRavTools::ShadeG2(CRavFile* model, float shade) {
    if (model == nullptr) {
        return false;
    }
    const std::int32_t objectCount = model->header.objectCount;

    if (shade == -1.0f) {
        for (RavObject& object : model->Objects()) {
            if (!IsShadableG2(object)) {
                continue;
            }
            for (RavColour& colour : object.colours) {
                colour[0] = colour[1] = colour[2] = 255;
            }
        }
        if (!model->Save()) {
            return false;
        }
        Output(Format("Successfully restored %d G2 objects", objectCount), 0);
        return true;
    }

    const double product = static_cast<double>(shade) * static_cast<double>(kPercent);
    float darkest = static_cast<float>(product);
    // A shade that is not a number would pass both comparisons and shade
    // nothing while reporting success.
    if (std::isnan(shade) || product > 1 || darkest < 0) {
        Fail("Valid Shade % is between 0 and 100, type -1 for reset the shades");
        return false;
    }
    // Keeps 1 - darkest away from zero.
    if (darkest > kDarkestLimit) {
        darkest = kDarkestLimit;
    }

    float maxX = 0;
    float maxZ = 0;
    for (const RavObject& object : model->Objects()) {
        if (!IsShadableG2(object)) {
            continue;
        }
        for (const RavVertex& v : object.vertices) {
            if (std::fabs(v.x) > maxX) {
                maxX = std::fabs(v.x);
            }
            if (std::fabs(v.z) > maxZ) {
                maxZ = std::fabs(v.z);
            }
        }
    }

    const double range = 1.0 - static_cast<double>(darkest);
    const double factorX = FactorPerUnit(maxX, kInnerX, range);
    const double factorZ = FactorPerUnit(maxZ, kInnerZ, range);

    for (RavObject& object : model->Objects()) {
        if (!IsShadableG2(object)) {
            continue;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            const RavVertex& v = object.vertices[k];
            const double a = Contribution(std::fabs(static_cast<double>(v.x)) - kInnerX, factorX);
            const double b = Contribution(std::fabs(static_cast<double>(v.z)) - kInnerZ, factorZ);
            double factor = (1.0 - a) - b;
            if (factor > 1) {
                factor = 1;
            }
            if (!(factor >= darkest)) {
                factor = darkest;
            }
            RavColour& colour = object.colours[k];
            for (std::size_t channel = 0; channel < 3; ++channel) {
                colour[channel] = static_cast<std::uint8_t>(colour[channel] * factor);
            }
        }
    }

    if (!model->Save()) {
        return false;
    }
    Output(Format("Successfully shaded %d G2 objects", objectCount), 0);
    return true;
}
