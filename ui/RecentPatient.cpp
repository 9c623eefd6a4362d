#include "ui/RecentPatient.h"

#include "store/StudyStore.h"

#include <algorithm>
#include <exception>

namespace RecentPatient {

std::optional<StudyInfo> latest(const StudyStore &store) {
    QList<StudyInfo> studies = store.listStudies();
    if (studies.isEmpty()) return std::nullopt;
    std::stable_sort(studies.begin(), studies.end(),
                     [](const StudyInfo &a, const StudyInfo &b) { return a.studyDateTime < b.studyDateTime; });
    try {
        const std::unique_ptr<Study> study = store.readStudy(studies.last().id);
        if (!study) return std::nullopt;
        return store.studyInfo(*study);
    } catch (const std::exception &) {
        // A study that cannot be read is simply not offered.
        return std::nullopt;
    }
}

}  // namespace RecentPatient
