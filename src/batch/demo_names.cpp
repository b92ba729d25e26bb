#include "batch/demo_names.h"

#include "batch/demo_random.h"

#include <iterator>

namespace rek2::batch {

namespace {

template <std::size_t N> QString pick(DemoRandom& rng, const char* const (&list)[N])
{
    return QString::fromUtf8(list[rng.below(int(N))]);
}

const char* const kSlFirst[] = {
    "Janez",  "Marko", "Andrej", "Jože",    "Luka",  "Matej",  "Tomaž", "Boštjan", "Žiga",  "Franc", "Anton",
    "Primož", "Blaž",  "Matjaž", "Gašper",  "Aleš",  "Marija", "Ana",   "Maja",    "Irena", "Mojca", "Nataša",
    "Mateja", "Špela", "Nina",   "Barbara", "Tjaša", "Urška",  "Živa",  "Katja",   "Petra", "Alenka"};
const char* const kSlSurname[] = {
    "Novak",  "Horvat", "Kovačič",  "Krajnc",   "Zupančič", "Potočnik", "Kovač", "Mlakar",   "Kos",
    "Vidmar", "Golob",  "Turk",     "Božič",    "Kralj",    "Korošec",  "Zupan", "Bizjak",   "Hribar",
    "Kotnik", "Rozman", "Petek",    "Kastelic", "Žagar",    "Košir",    "Koren", "Oblak",    "Žnidaršič",
    "Šuštar", "Pečnik", "Škerjanc", "Jerič",    "Čeh",      "Ambrožič", "Grčar", "Šinkovec", "Debeljak"};
const char* const kSlStreet[] = {"Prešernova cesta",
                                 "Trubarjeva ulica",
                                 "Cankarjeva ulica",
                                 "Šmartinska cesta",
                                 "Celovška cesta",
                                 "Tržaška cesta",
                                 "Ulica Štefana Kovača",
                                 "Koroška cesta",
                                 "Gosposvetska cesta",
                                 "Partizanska cesta",
                                 "Šaleška cesta",
                                 "Ulica bratov Učakar",
                                 "Žabjak",
                                 "Čopova ulica",
                                 "Ljubljanska cesta"};
const char* const kSlTown[] = {
    "1000 Ljubljana", "2000 Maribor",    "3000 Celje",       "4000 Kranj",
    "6000 Koper",     "8000 Novo mesto", "5000 Nova Gorica", "9000 Murska Sobota",
    "3320 Velenje",   "1230 Domžale",    "4260 Bled",        "2250 Ptuj",
    "6320 Portorož",  "1290 Grosuplje",  "4220 Škofja Loka", "2380 Slovenj Gradec"};
const char* const kSlCompany[] = {"Čebelarstvo Žnidaršič d.o.o.", "Gradbeništvo Kos d.o.o.",
                                  "Šparovec in partnerji d.o.o.", "Mizarstvo Košir d.o.o.",
                                  "Žaga Hribar d.o.o.",           "Računovodstvo Čeh d.o.o."};

const char* const kHrFirst[] = {"Ivan", "Josip", "Marija", "Ana", "Tomislav", "Ivana", "Stjepan", "Katarina"};
const char* const kHrSurname[] = {"Horvat", "Kovačević", "Babić", "Marić", "Jurić", "Novak", "Knežević"};
const char* const kHrTown[] = {"10000 Zagreb", "21000 Split", "51000 Rijeka", "31000 Osijek"};
const char* const kHrStreet[] = {"Ilica", "Vukovarska ulica", "Savska cesta", "Ulica kralja Zvonimira"};

const char* const kAtFirst[] = {"Johann", "Maria", "Franz", "Elisabeth", "Josef", "Anna", "Wolfgang"};
const char* const kAtSurname[] = {"Gruber", "Huber", "Bauer", "Wagner", "Müller", "Pichler", "Steiner"};
const char* const kAtTown[] = {"8010 Graz", "1010 Wien", "9020 Klagenfurt", "5020 Salzburg"};
const char* const kAtStreet[] = {"Herrengasse", "Mariahilfer Straße", "Alter Platz", "Getreidegasse"};

const char* const kDeFirst[] = {"Klaus", "Petra", "Jürgen", "Sabine", "Stefan", "Ursula"};
const char* const kDeSurname[] = {"Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Schäfer"};
const char* const kDeTown[] = {"80331 München", "10115 Berlin", "70173 Stuttgart"};
const char* const kDeStreet[] = {"Leopoldstraße", "Königstraße", "Friedrichstraße"};

const char* const kItFirst[] = {"Marco", "Giulia", "Luca", "Francesca", "Paolo"};
const char* const kItSurname[] = {"Rossi", "Russo", "Ferrari", "Esposito", "Bianchi"};
const char* const kItTown[] = {"34100 Trieste", "33100 Udine", "30100 Venezia"};
const char* const kItStreet[] = {"Via Roma", "Corso Italia", "Via Carducci"};

const char* const kUsFirst[] = {"John", "Mary", "Robert", "Linda", "Michael"};
const char* const kUsSurname[] = {"Smith", "Johnson", "Miller", "Novak", "Kowalski"};
const char* const kUsTown[] = {"Cleveland OH 44101", "Chicago IL 60601", "New York NY 10001"};
const char* const kUsStreet[] = {"Main Street", "Lake Avenue", "Euclid Avenue"};

const char* const kRsFirst[] = {"Nikola", "Jelena", "Milan", "Dragana", "Đorđe"};
const char* const kRsSurname[] = {"Jovanović", "Petrović", "Nikolić", "Đorđević", "Ilić"};
const char* const kRsTown[] = {"11000 Beograd", "21000 Novi Sad", "18000 Niš"};
const char* const kRsStreet[] = {"Knez Mihailova", "Bulevar oslobođenja", "Cara Dušana"};

const char* const kBaFirst[] = {"Emir", "Amra", "Dženan", "Lejla", "Mirza"};
const char* const kBaSurname[] = {"Hodžić", "Begić", "Delić", "Hadžić", "Kovačević"};
const char* const kBaTown[] = {"71000 Sarajevo", "75000 Tuzla", "88000 Mostar"};
const char* const kBaStreet[] = {"Ferhadija", "Titova", "Maršala Tita"};

template <std::size_t A, std::size_t B, std::size_t C, std::size_t D>
DemoPerson make(DemoRandom& rng, const char* const (&first)[A], const char* const (&surname)[B],
                const char* const (&street)[C], const char* const (&town)[D])
{
    DemoPerson p;
    p.firstName = pick(rng, first);
    p.surname = pick(rng, surname);
    p.address = pick(rng, street) + QLatin1Char(' ') + QString::number(rng.between(1, 120)) +
                QStringLiteral(", ") + pick(rng, town);
    return p;
}

} // namespace

DemoPerson demoNaturalPerson(DemoRandom& rng, char country)
{
    switch (country) {
    case 'H':
        return make(rng, kHrFirst, kHrSurname, kHrStreet, kHrTown);
    case 'A':
        return make(rng, kAtFirst, kAtSurname, kAtStreet, kAtTown);
    case 'D':
        return make(rng, kDeFirst, kDeSurname, kDeStreet, kDeTown);
    case 'I':
        return make(rng, kItFirst, kItSurname, kItStreet, kItTown);
    case 'U':
        return make(rng, kUsFirst, kUsSurname, kUsStreet, kUsTown);
    case 'R':
        return make(rng, kRsFirst, kRsSurname, kRsStreet, kRsTown);
    case 'B':
        return make(rng, kBaFirst, kBaSurname, kBaStreet, kBaTown);
    default:
        return make(rng, kSlFirst, kSlSurname, kSlStreet, kSlTown);
    }
}

DemoPerson demoCompany(DemoRandom& rng, char country)
{
    DemoPerson p = demoNaturalPerson(rng, country);
    p.firstName.clear();
    if (country == 'S')
        p.surname = pick(rng, kSlCompany);
    else
        p.surname = p.surname + QStringLiteral(" Holding");
    return p;
}

} // namespace rek2::batch
