#include "app/PatientNameFilter.h"

#include <gtest/gtest.h>

TEST(PatientNameFilter, FindsAnyPartOfEitherNameWhateverTheCaseAndAccents) {
    struct Case {
        const char *filter;
        const char *last;
        const char *first;
        bool found;
    };
    const Case cases[] = {
        {"Nuñez", "NUNEZ", "PEDRO", true},
        {"nunez", "Núñez", "Pedro", true},
        {"jose", "Pérez", "José", true},
        {"JOSÉ", "Pérez", "jose luis", true},
        {"ere", "Pérez", "Ana", true},  // inside the name
        {"ana maría", "Gómez", "Ana Maria", true},
        {"  gomez   ana ", "Gómez", "Ana", true},  // words anywhere, blanks ignored
        {"gomez pedro", "Gómez", "Ana", false},    // every word must be found
        {"Müller", "MULLER", "Hans", true},
        {"çelik", "Celik", "Ayşe", true},
        {"ayse", "Celik", "Ayşe", true},
        {"perez", "Pereira", "Ana", false},
        {"", "Anyone", "", true},
        {"   ", "Anyone", "", true},
        {"x", "", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(PatientNameFilter::matches(QString::fromUtf8(c.filter), QString::fromUtf8(c.last),
                                             QString::fromUtf8(c.first)),
                  c.found);
    }
}
