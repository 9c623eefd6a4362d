#include "analysis/RadixTwoFft.h"

#include <cmath>
#include <stdexcept>
#include <utility>

RadixTwoFft::RadixTwoFft(int size) : size_(size) {
    if (size < 2 || (size & (size - 1)) != 0) throw std::invalid_argument("FFT size must be a power of two");
    const double pi = std::acos(-1.0);
    for (int k = 0; k < size / 2; ++k) {
        cos_.push_back(std::cos(2.0 * pi * k / size));
        sin_.push_back(-std::sin(2.0 * pi * k / size));
    }
    int bits = 0;
    while ((1 << bits) < size) ++bits;
    reversed_.resize(size);
    for (int i = 0; i < size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        reversed_[i] = r;
    }
}

void RadixTwoFft::transform(double *re, double *im, double sign) const {
    // Stage spans N, N/2, ..., 2: the twiddle of position j in a span is
    // e^(sign * i * 2 pi * j / span), read from the table at stride N / span.
    for (int span = size_; span >= 2; span /= 2) {
        const int half = span / 2;
        const int stride = size_ / span;
        for (int first = 0; first < size_; first += span) {
            for (int j = 0; j < half; ++j) {
                const int a = first + j, b = a + half;
                const double wr = cos_[j * stride], wi = -sign * sin_[j * stride];
                const double dr = re[a] - re[b], di = im[a] - im[b];
                re[a] += re[b];
                im[a] += im[b];
                re[b] = dr * wr - di * wi;
                im[b] = dr * wi + di * wr;
            }
        }
    }
    for (int i = 0; i < size_; ++i) {
        const int r = reversed_[i];
        if (r > i) {
            std::swap(re[i], re[r]);
            std::swap(im[i], im[r]);
        }
    }
}
