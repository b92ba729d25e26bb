#pragma once
#include <QString>

namespace rek2::batch {

class DemoRandom;

// Names and addresses of the demo registry's persons: Slovenian ones (with
// č, š and ž) for the home country, and a few foreign sets.
struct DemoPerson
{
    QString firstName;
    QString surname;
    QString address;
};

// A natural person living in the country with the registry code `country`
// ('S' home, 'A', 'H', 'D', 'I', 'U', 'R', 'B').
DemoPerson demoNaturalPerson(DemoRandom& rng, char country);

// A company (legal person) in `country`; its name goes into NZV, IME stays empty.
DemoPerson demoCompany(DemoRandom& rng, char country);

} // namespace rek2::batch
