#include "tools/artwork/RingTone.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace vocamo::art {

namespace {

constexpr int kRate = 22050;
constexpr double kSeconds = 2.0;
constexpr double kLow = 1046.5;  // C6
constexpr double kHigh = 1318.5; // E6
constexpr double kTrill = 16.0;  // tone changes per second, as in an electronic bell
constexpr double kBursts[][2] = {{0.0, 0.8}, {1.0, 1.8}};

void PutLe(std::vector<char> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// 0..1: a short rise and a longer fall at each end of a burst, so nothing clicks.
double Envelope(double t)
{
    for (const auto &burst : kBursts) {
        if (t < burst[0] || t >= burst[1])
            continue;
        const double in = (t - burst[0]) / 0.012;
        const double out = (burst[1] - t) / 0.06;
        return std::clamp(std::min(in, out), 0.0, 1.0);
    }
    return 0.0;
}

} // namespace

bool WriteRingTone(const QString &path)
{
    const int frames = static_cast<int>(kRate * kSeconds);
    std::vector<int16_t> samples(frames);
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Glide between the two tones over a few milliseconds so the trill is smooth.
        const double cycle = std::fmod(t * kTrill, 1.0);
        const double edge = std::clamp((std::abs(cycle - 0.5) - 0.23) / 0.04, 0.0, 1.0);
        const double frequency = kHigh + (kLow - kHigh) * edge;
        phase += 2 * std::numbers::pi * frequency / kRate;
        const double tone =
            std::sin(phase) + 0.28 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
        samples[i] = static_cast<int16_t>(std::lround(0.42 * 32767 * Envelope(t) * tone / 1.36));
    }

    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<char> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, 1, 2); // mono
    PutLe(out, kRate, 4);
    PutLe(out, kRate * 2, 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, dataBytes, 4);
    for (int16_t s : samples)
        PutLe(out, static_cast<uint16_t>(s), 2);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(out.data(), static_cast<qint64>(out.size())) ==
           static_cast<qint64>(out.size());
}

} // namespace vocamo::art
