#pragma once
// In-place complex FFT of a power-of-two size: radix-2 decimation in
// frequency with the bit-reversal at the end; the inverse is not scaled.

#include <vector>

class RadixTwoFft {
public:
    explicit RadixTwoFft(int size);

    int size() const { return size_; }
    void forward(double *re, double *im) const { transform(re, im, -1.0); }
    // Sum of X[k] * e^(+j 2 pi k n / N), without the 1 / N.
    void inverse(double *re, double *im) const { transform(re, im, 1.0); }

private:
    void transform(double *re, double *im, double sign) const;

    int size_;
    std::vector<double> cos_, sin_;  // e^(-j 2 pi k / N) for k < N / 2
    std::vector<int> reversed_;      // bit-reversed index of every position
};
