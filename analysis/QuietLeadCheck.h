#pragma once
// Each lead's recent QRS activity, against which a beat's activity in that
// lead is judged: a lead that did not see a beat and is flat where its QRS
// would be speaks against the beat; a lead that saw it with an activity like
// its usual QRS speaks for it.

#include <array>
#include <vector>

class QuietLeadCheck {
public:
    // Activities of a lead's last kHistory QRS complexes form its reference.
    static constexpr int kHistory = 8;
    // A lead is quiet below this share of its reference.
    static constexpr double kQuietShare = 0.3;
    // A lead's QRS is like its usual one within this share and its inverse.
    static constexpr double kTypicalShare = 0.7;

    explicit QuietLeadCheck(int leads);

    // `activity` of `lead` at a beat whose QRS it saw.
    void record(int lead, double activity);
    // True when `lead` has a reference and `activity` lies below its share.
    bool quiet(int lead, double activity) const;
    // True when `lead` has a reference and `activity` is like it.
    bool typical(int lead, double activity) const;
    // The median of the lead's recorded activities; 0 before any.
    double reference(int lead) const;
    void clear();

private:
    struct History {
        std::array<double, kHistory> values{};
        int count = 0;
        int next = 0;
    };
    std::vector<History> leads_;
};
