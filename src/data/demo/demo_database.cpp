#include "data/demo/demo_database.h"

#include "data/demo/demo_catalog.h"
#include "data/demo/demo_random.h"
#include "data/demo/sqlite_file.h"
#include "data/schema.h"

#include <QDate>
#include <QFile>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillon::demo {

namespace {

namespace cat = catalog;

constexpr int PostingDays = 14;
constexpr int DayMinutes = 24 * 60;

// ---------------------------------------------------------------------------
// Storage forms: dates 'YYYY-MM-DD', times of day on 1899-12-30, money as a
// number of dollars (whole cents).

std::string isoDate(const QDate& date)
{
    return date.toString(Qt::ISODate).toStdString();
}

// Minutes after midnight; 24:00 and later wrap to the next morning's time.
const std::string& timeOfDay(int minutes)
{
    static const std::array<std::string, DayMinutes> texts = [] {
        std::array<std::string, DayMinutes> t;
        for (int m = 0; m < DayMinutes; ++m) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "1899-12-30 %02d:%02d:00", m / 60, m % 60);
            t[size_t(m)] = buffer;
        }
        return t;
    }();
    return texts[size_t(minutes % DayMinutes)];
}

double dollars(std::int64_t cents)
{
    return double(cents) / 100.0;
}

std::int64_t times(double units, std::int64_t rateCents)
{
    return std::llround(units * double(rateCents));
}

// ---------------------------------------------------------------------------
// Time postings: a day is one to three segments of work.

struct Segment {
    int start = 0;      // minutes after the posting day's midnight
    int stop = 0;       // may pass 24:00 for a shift that ends the next morning
    bool open = false;  // no stop time posted yet
};
using DayPlan = std::vector<Segment>;

// A length of time drawn in quarter hours, returned in minutes.
int quarters(DemoRandom& r, int fromQuarters, int toQuarters)
{
    return 15 * r.between(fromQuarters, toQuarters);
}

// A day shift: mostly two or three postings with short breaks between them,
// sometimes one long posting, now and then a day of more than 16 hours.
DayPlan dayShift(DemoRandom& r)
{
    const int start = 300 + 30 * r.below(5);  // 05:00 to 07:00
    const int kind = r.below(100);
    DayPlan plan;
    if (kind < 2) {
        const int work = quarters(r, 64, 72);  // 16:00 to 18:00
        if (r.percent(50)) {
            plan.push_back({start - 60, start - 60 + work});
        } else {
            const int first = 8 * 60;
            plan.push_back({start - 60, start - 60 + first});
            plan.push_back({start - 60 + first + 30, start - 60 + work + 30});
        }
    } else if (kind < 10) {
        plan.push_back({start, start + quarters(r, 40, 56)});
    } else if (kind < 32) {
        const int first = quarters(r, 20, 28);
        const int gap = 15 * r.between(1, 4);
        plan.push_back({start, start + first});
        plan.push_back({start + first + gap, start + first + gap + quarters(r, 20, 32)});
    } else {
        const int travel = quarters(r, 4, 8);
        const int gap1 = 15 * r.between(1, 2);
        const int work = quarters(r, 20, 28);
        const int gap2 = 30 * r.between(1, 2);
        int t = start;
        plan.push_back({t, t + travel});
        t += travel + gap1;
        plan.push_back({t, t + work});
        t += work + gap2;
        plan.push_back({t, t + quarters(r, 12, 24)});
    }
    // Day shifts end by midnight.
    Segment& last = plan.back();
    if (last.stop > DayMinutes) last.stop = DayMinutes;
    return plan;
}

// Fourteen days of one resource's shifts. With night operations, one evening
// shift runs to 24:00 and the next day holds only its continuation from 00:00.
std::vector<DayPlan> schedule(DemoRandom& r, bool nightOperations, bool lateShiftAcrossMidnight)
{
    std::vector<DayPlan> days(PostingDays);
    for (auto& day : days) day = dayShift(r);
    if (nightOperations) {
        const int night = r.between(3, 10);
        days[size_t(night)] = {{18 * 60, DayMinutes}};
        days[size_t(night + 1)] = {{0, 6 * 60 + 30 * r.below(2)}};
    }
    if (lateShiftAcrossMidnight) {
        // One posting from the evening into the next morning, then a late start.
        const int day = r.between(2, 11);
        days[size_t(day)] = {{20 * 60, 28 * 60}};
        days[size_t(day + 1)] = {{13 * 60, 13 * 60 + quarters(r, 24, 32)}};
    }
    return days;
}

// ---------------------------------------------------------------------------

struct Incident {
    int id;
    const char* name;
    const char* number;
    QDate start;
    const char* location;
    const char* state;
    std::vector<const char*> accountingCodes;  // the first is the main code
    int crewsPerStep;
    int singlesPerStep;
    int adminOffices[2];  // of the catalogue, for the incident's agreements
    std::vector<int> accountingIds = {};
    int nextCrew = 1;
    int nextSingle = 1;
    int nextEquipment = 1;
    int nextSupply = 1;
};

struct PersonSpec {
    int resourceId = 0;
    QString firstName;
    QString lastName;
    const cat::Position* position = nullptr;
    const char* fedCode = "FED";
    const char* agency = nullptr;
    std::string fax;  // empty: none
    const cat::Town* home = nullptr;
    std::optional<std::int64_t> rateCents;
    char status = 'A';
};

class Generator {
public:
    Generator(SqliteFile& db, const DemoOptions& options)
        : m_db(db), m_rng(options.seed), m_scale(options.scale),
          m_insertResource(db.prepare(
              "INSERT INTO Resources (ResourceID, IncidentID, Name, RequestNumber, Collection, KindCode, AssignDate, "
              "ReleaseDate, ReleaseTime, RemarksOF286) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)")),
          m_insertPerson(db.prepare(
              "INSERT INTO Persons (PersonID, ResourceID, FirstName, LastName, SSN, MailAddr1, MailAddr2, City, State, "
              "ZipCode, InitEmployYN, PointOfHire, ReturnTravelYN, FedCode, Remarks, FaxPhone, Phone, AgencyCode, "
              "PStatus, KindCode, Rate, AccountingID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
              "?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22)")),
          m_insertPost(db.prepare(
              "INSERT INTO PersonsPost (PersonsPostID, PersonID, ActivityDT, StartTime, StopTime, Hours, KindCode, "
              "PremiumCode, Class, Rate, AccountingID, FinalCol, InvoiceID) "
              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, NULL, ?9, ?10, 0, 0)")),
          m_insertDebit(db.prepare(
              "INSERT INTO PersonsDebit (PersonsDebitID, PersonID, ActivityDT, Amt, Description, InvoiceID) "
              "VALUES (?1, ?2, ?3, ?4, ?5, 0)")),
          m_insertContractor(db.prepare(
              "INSERT INTO Contractor (ContractorID, IncidentID, ContractorNum, ContractorName, Addr, City, State, Zip) "
              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")),
          m_insertAgreement(db.prepare(
              "INSERT INTO Agreement (AgreementID, ContractorID, AdminOfficeID, AgreementNum, PointOfHire, BeginDt, "
              "ExpDt) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")),
          m_insertEquipment(db.prepare(
              "INSERT INTO Equipment (EquipmentID, AgreementID, ResourceID, UniqueEquipmentName, Make, Model, "
              "GovtOperatorYN, GovtSuppliesYN, Withdrawn) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")),
          m_insertUse(db.prepare(
              "INSERT INTO ContractorPost (ContractorPostID, EquipmentID, ActivityDT, Units, UOM, Rate, Amt, SUnits, "
              "SUOM, SRate, SAmt, GuarAmt, AccountingID, InvoiceID) "
              "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, 0)")),
          m_insertEquipmentPost(db.prepare(
              "INSERT INTO EquipmentPost (EquipmentPostID, AgreementID, EquipmentID, ActivityDT, UOM, Units, Rate, "
              "Amt, GuarAmt) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)")),
          m_insertAdjustment(db.prepare(
              "INSERT INTO ContractorAdjustments (ContractorAdjustmentID, ContractorID, EquipmentID, ActivityDT, Amt, "
              "Description, InvoiceID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0)")),
          m_insertContractorDebit(db.prepare(
              "INSERT INTO ContractorDebit (ContractorDebitID, ContractorID, EquipmentID, AMT) "
              "VALUES (?1, ?2, ?3, ?4)"))
    {
    }

    DemoCounts run()
    {
        m_incidents = {
            {1, "Cedar Ridge", "CA-SHU-004117", QDate(2026, 7, 14), "12 mi NE of Redding", "CA",
             {"P5MK8Q", "P5MK9R", "4117-STRUCT"}, 5, 18, {0, 1}},
            {2, "Minto Creek", "OR-WIF-000862", QDate(2026, 8, 3), "Detroit Ranger District", "OR",
             {"P6NW2T", "P6NW3V"}, 3, 12, {2, 3}},
        };
        writeLists();
        for (Incident& incident : m_incidents) writeIncident(incident);
        for (Incident& incident : m_incidents) {
            DemoRandom r = m_rng.fork(std::uint64_t(incident.id));
            for (int step = 0; step < m_scale; ++step) {
                for (int c = 0; c < incident.crewsPerStep; ++c) writeCrew(incident, r);
                for (int s = 0; s < incident.singlesPerStep; ++s) writeSingleResource(incident, r);
                writeContractors(incident, step, r);
            }
        }
        return m_counts;
    }

private:
    // -- lists and incidents --------------------------------------------------

    void writeLists()
    {
        SqliteStatement kind = m_db.prepare("INSERT INTO L_Kind (KindCode, KindDesc) VALUES (?1, ?2)");
        auto addPosition = [&](const cat::Position& p) { kind.bind(1, p.kindCode).bind(2, p.kindDesc).run(); };
        addPosition(cat::CrewBoss);
        addPosition(cat::SquadBoss);
        addPosition(cat::Firefighter);
        for (const auto& p : cat::OverheadPositions) addPosition(p);
        for (const auto& k : cat::ResourceKinds) kind.bind(1, k.kindCode).bind(2, k.kindDesc).run();

        // Quarter hours of the day, and 2400 for the end of a day.
        SqliteStatement time = m_db.prepare("INSERT INTO L_Time (Time) VALUES (?1)");
        for (int m = 0; m <= DayMinutes; m += 15) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "%02d%02d", m / 60, m % 60);
            time.bind(1, buffer).run();
        }

        SqliteStatement office = m_db.prepare(
            "INSERT INTO AdminOffice (AdminOfficeID, Name, Addr1, Addr2, City, State, Zip) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        int id = 0;
        for (const auto& o : cat::AdminOffices) {
            office.bind(1, ++id).bind(2, o.name).bind(3, o.addr1);
            if (o.addr2) office.bind(4, o.addr2); else office.bindNull(4);
            office.bind(5, o.city).bind(6, o.state).bind(7, o.zip).run();
        }
    }

    void writeIncident(Incident& incident)
    {
        m_db.prepare("INSERT INTO Incidents (IncidentID, IncidentName, IncidentNumber, StartDate, IncidentLocation, "
                     "IncidentState) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
            .bind(1, incident.id).bind(2, incident.name).bind(3, incident.number)
            .bind(4, isoDate(incident.start)).bind(5, incident.location).bind(6, incident.state)
            .run();
        SqliteStatement code = m_db.prepare(
            "INSERT INTO AccountingCodes (AccountingID, AccountingCode, IncidentID) VALUES (?1, ?2, ?3)");
        for (const char* text : incident.accountingCodes) {
            const int id = ++m_accountingId;
            code.bind(1, id).bind(2, text).bind(3, incident.id).run();
            incident.accountingIds.push_back(id);
        }
        ++m_counts.incidents;
    }

    // -- resources and persons ------------------------------------------------

    int writeResource(const Incident& incident, const QString& name, const std::string& requestNumber, bool collection,
                      const char* kindCode, const QDate& assign, const QDate& release, int releaseMinutes,
                      const char* remarks)
    {
        const int id = ++m_resourceId;
        m_insertResource.bind(1, id).bind(2, incident.id).bind(3, name).bind(4, requestNumber)
            .bind(5, collection ? 1 : 0).bind(6, kindCode).bind(7, isoDate(assign));
        if (release.isValid()) {
            m_insertResource.bind(8, isoDate(release)).bind(9, timeOfDay(releaseMinutes));
        } else {
            m_insertResource.bindNull(8).bindNull(9);
        }
        if (remarks) m_insertResource.bind(10, remarks); else m_insertResource.bindNull(10);
        m_insertResource.run();
        ++m_counts.resources;
        return id;
    }

    static const cat::Office* officeOf(DemoRandom& r, const char* agency)
    {
        std::vector<const cat::Office*> offices;
        for (const auto& o : cat::Offices)
            if (std::string(o.agency) == agency) offices.push_back(&o);
        return offices[size_t(r.below(int(offices.size())))];
    }

    // Most fax numbers are the ten digits of the office; a few were typed badly.
    static std::string faxOf(DemoRandom& r, const cat::Office& office)
    {
        std::string fax = office.fax;
        const int roll = r.below(1000);
        if (roll < 12) return fax.substr(0, 9);
        if (roll < 24) return fax.substr(0, 3) + "-" + fax.substr(3, 3) + "-" + fax.substr(6);
        return fax;
    }

    void randomName(DemoRandom& r, PersonSpec& p)
    {
        p.firstName = QString::fromUtf8(r.pick(cat::FirstNames));
        p.lastName = QString::fromUtf8(r.pick(cat::LastNames));
    }

    int writePerson(const Incident& incident, const PersonSpec& p, DemoRandom& r)
    {
        const int id = ++m_personId;
        // Nine digits starting with 9: never a real number, unique per person.
        const std::int64_t ssn = 900000000 + (std::int64_t(id) * 104729) % 100000000;
        char address[64];
        std::snprintf(address, sizeof address, "%d %s", r.between(10, 9899), r.pick(cat::Streets));
        char phone[16];
        std::snprintf(phone, sizeof phone, "%s5550%03d", p.home->areaCode, r.between(100, 199));

        // The first members of the first crew carry names as host data does:
        // in several scripts (right-to-left ones too), and one of 63
        // characters. Only the names change, so every other value of the
        // sample stays as the seed makes it.
        static const char* const kRecorded[][2] = {
            {"Thị Hồng", "Nguyễn"},
            {"Małgorzata Anna-Maria", "Kowalczyk-Wiśniewska-Brzęczyszczykiewicz"},
            {"Ελένη", "Παπαδοπούλου"},
            {"Ольга Викторовна", "Смирнова"},
            {"سمير", "حداد"},
            {"דוד", "כהן"},
        };
        const bool recorded = id <= int(std::size(kRecorded));
        const QString first = recorded ? QString::fromUtf8(kRecorded[id - 1][0]) : p.firstName;
        const QString last = recorded ? QString::fromUtf8(kRecorded[id - 1][1]) : p.lastName;
        auto& s = m_insertPerson;
        s.bind(1, id).bind(2, p.resourceId).bind(3, first).bind(4, last)
            .bind(5, std::to_string(ssn)).bind(6, address);
        const int second = r.below(100);
        if (second < 8) {
            s.bind(7, "Apt " + std::to_string(r.between(1, 40)));
        } else if (second < 14) {
            s.bind(7, "PO Box " + std::to_string(r.between(100, 2999)));
        } else {
            s.bindNull(7);
        }
        const bool casual = std::string(p.fedCode) == "AD";
        s.bind(8, p.home->city).bind(9, p.home->state).bind(10, p.home->zip)
            .bind(11, casual && r.percent(30) ? "Y" : "N")
            .bind(12, std::string(p.home->city) + ", " + p.home->state)
            .bind(13, r.percent(92) ? "Y" : "N")
            .bind(14, p.fedCode);
        if (r.percent(4)) s.bind(15, r.pick(cat::Remarks)); else s.bindNull(15);
        if (p.fax.empty()) s.bindNull(16); else s.bind(16, p.fax);
        s.bind(17, phone);
        if (p.agency) s.bind(18, p.agency); else s.bindNull(18);
        s.bind(19, std::string(1, p.status)).bind(20, p.position->kindCode);
        if (p.rateCents) s.bind(21, dollars(*p.rateCents)); else s.bindNull(21);
        s.bind(22, incident.accountingIds.front());
        s.run();
        ++m_counts.persons;
        return id;
    }

    // The person's postings for the resource's schedule: the crew works as one,
    // with an occasional day of its own (light duty, a half day).
    void writePostings(const Incident& incident, int personId, const PersonSpec& p, const QDate& assign,
                       const std::vector<DayPlan>& days, const std::vector<int>& dayCodes, bool onShiftNow,
                       DemoRandom& r)
    {
        const bool hazardPay = std::string(p.fedCode) != "AD";
        for (int d = 0; d < PostingDays; ++d) {
            const std::string date = isoDate(assign.addDays(d));
            DayPlan plan = days[size_t(d)];
            const int usualStart = plan.front().start;
            if (usualStart >= 4 * 60 && usualStart <= 8 * 60 && r.percent(2)) {
                const int start = 8 * 60;
                plan = {{start, start + quarters(r, 16, 32)}};
            }
            if (d == PostingDays - 1 && onShiftNow) plan.back().open = true;

            // Acting in a higher position now and then, at that position's rate.
            const cat::Position* kind = p.position;
            std::optional<std::int64_t> rate = p.rateCents;
            if (p.position == &cat::Firefighter && r.percent(4)) kind = &cat::SquadBoss;
            else if (p.position == &cat::SquadBoss && r.percent(4)) kind = &cat::CrewBoss;
            if (kind != p.position && rate) *rate += kind->rateCents - p.position->rateCents;
            const bool premium = hazardPay && r.percent(10);

            int code = dayCodes[size_t(d)];
            for (size_t i = 0; i < plan.size(); ++i) {
                const Segment& seg = plan[i];
                if (i > 0 && r.percent(6)) code = r.pickFrom(incident.accountingIds);
                const bool open = seg.open || r.perMille(2);
                auto& s = m_insertPost;
                s.bind(1, ++m_postId).bind(2, personId).bind(3, date).bind(4, timeOfDay(seg.start));
                if (open) {
                    s.bindNull(5).bindNull(6);
                } else {
                    s.bind(5, timeOfDay(seg.stop)).bind(6, double(seg.stop - seg.start) / 60.0);
                }
                s.bind(7, kind->kindCode);
                if (premium) s.bind(8, "H"); else s.bindNull(8);
                if (rate && !r.perMille(5)) s.bind(9, dollars(*rate)); else s.bindNull(9);
                s.bind(10, code);
                s.run();
                ++m_counts.personPostings;
            }
        }
    }

    void writeDebits(int personId, const QDate& assign, DemoRandom& r)
    {
        if (!r.percent(35)) return;
        const int items = r.between(1, 3);
        for (int i = 0; i < items; ++i) {
            const cat::Item& item = r.pick(cat::CommissaryItems);
            m_insertDebit.bind(1, ++m_debitId).bind(2, personId)
                .bind(3, isoDate(assign.addDays(r.between(1, PostingDays - 1))))
                .bind(4, dollars(item.cents)).bind(5, item.description).run();
            ++m_counts.debits;
        }
    }

    std::vector<int> dayCodes(const Incident& incident, DemoRandom& r)
    {
        std::vector<int> codes(PostingDays);
        for (int& c : codes) c = r.percent(80) ? incident.accountingIds.front() : r.pickFrom(incident.accountingIds);
        return codes;
    }

    QString nextCrewName(const char* what)
    {
        const int n = std::size(cat::CrewPlaces);
        const int index = m_crewNames++;
        QString name = QString::fromUtf8(cat::CrewPlaces[index % n]) + QLatin1Char(' ') + QString::fromUtf8(what);
        if (index >= n) name += QLatin1Char(' ') + QString::number(index / n + 1);
        return name;
    }

    void writeCrew(Incident& incident, DemoRandom& r)
    {
        const int type = r.below(100);  // hotshot crew, agency hand crew, or crew of casual hires
        const bool hotshot = type < 25;
        const bool casual = type >= 80;
        const cat::Office& crewOffice = hotshot || casual ? cat::Offices[r.below(9)] : r.pick(cat::Offices);
        const char* fedCode = casual ? "AD" : crewOffice.fedCode;
        const cat::Town& town = r.pick(cat::Towns);
        const QDate assign = incident.start.addDays(r.between(0, 2));
        const bool released = r.percent(20);
        const QDate release = released ? assign.addDays(PostingDays - 1) : QDate();

        const QString name = nextCrewName(hotshot ? "Hotshots" : casual ? "Camp Crew" : "Hand Crew");
        const std::string requestNumber = "C-" + std::to_string(incident.nextCrew++);
        const int resourceId = writeResource(incident, name, requestNumber, true, hotshot ? "CRC1" : "CRC2", assign,
                                             release, 10 * 60 + 30 * r.below(12), nullptr);

        const std::vector<DayPlan> days = schedule(r, r.percent(35), false);
        const std::vector<int> codes = dayCodes(incident, r);
        const bool onShiftNow = !released && r.percent(60);
        const int size = hotshot ? r.between(20, 22) : r.between(18, 21);
        for (int i = 0; i < size; ++i) {
            PersonSpec p;
            p.resourceId = resourceId;
            randomName(r, p);
            p.position = i == 0 ? &cat::CrewBoss : i <= 2 ? &cat::SquadBoss : &cat::Firefighter;
            p.fedCode = fedCode;
            const cat::Office& office = r.percent(90) ? crewOffice : *officeOf(r, crewOffice.agency);
            p.agency = office.agency;
            p.fax = faxOf(r, office);
            p.home = r.percent(75) ? &town : &r.pick(cat::Towns);
            p.rateCents = p.position->rateCents + (casual ? -75 : 0) + 45 * r.below(5);
            p.status = released || r.percent(2) ? 'D' : 'A';
            const int personId = writePerson(incident, p, r);
            writePostings(incident, personId, p, assign, days, codes, onShiftNow, r);
            writeDebits(personId, assign, r);
        }
    }

    void writeSingleResource(Incident& incident, DemoRandom& r)
    {
        PersonSpec p;
        randomName(r, p);
        p.position = &r.pick(cat::OverheadPositions);
        const cat::Office& office = r.pick(cat::Offices);
        p.fedCode = r.percent(22) ? "AD" : office.fedCode;
        p.agency = office.agency;
        p.fax = faxOf(r, office);
        p.home = &r.pick(cat::Towns);
        p.rateCents = p.position->rateCents + 45 * r.below(6);

        // Now and then a subordinate request under the previous one (O-7.1, O-7.2).
        std::string requestNumber;
        if (m_lastSingleBase > 0 && m_lastSingleIncident == incident.id && r.percent(12)) {
            requestNumber = "O-" + std::to_string(m_lastSingleBase) + "." + std::to_string(++m_subordinates);
        } else {
            m_lastSingleBase = incident.nextSingle++;
            m_lastSingleIncident = incident.id;
            m_subordinates = 0;
            requestNumber = "O-" + std::to_string(m_lastSingleBase);
        }
        const QDate assign = incident.start.addDays(r.between(0, 2));
        const bool released = r.percent(15);
        p.status = released ? 'D' : 'A';
        p.resourceId = writeResource(incident, p.lastName + QStringLiteral(", ") + p.firstName, requestNumber, false,
                                     p.position->kindCode, assign, released ? assign.addDays(PostingDays - 1) : QDate(),
                                     8 * 60 + 30 * r.below(16), nullptr);
        const int personId = writePerson(incident, p, r);
        const bool nightOperations = r.percent(15);
        const std::vector<DayPlan> days = schedule(r, nightOperations, r.percent(10));
        const std::vector<int> codes = dayCodes(incident, r);
        const bool onShiftNow = !released && r.percent(40);
        writePostings(incident, personId, p, assign, days, codes, onShiftNow, r);
        writeDebits(personId, assign, r);
    }

    // -- contractors and equipment --------------------------------------------

    enum class Billing { Daily, Hourly, Meals };

    struct Order {
        const char* kindCode;
        const char* word;  // in the unique name: "O'Brien Water Tender 3"
        char category;     // first letter of the request number
        int agreement;     // 0 or 1: which of the contractor's agreements
        Billing billing;
        int rateFrom;      // lowest rate in cents per unit (day, hour or meal)
        int rateSteps;     // number of rate steps above it
        bool mileage;
        const cat::EquipmentModel* models;
        int modelCount;
    };

    int writeContractor(const Incident& incident, const cat::Contractor& c)
    {
        const int id = ++m_contractorId;
        m_insertContractor.bind(1, id).bind(2, incident.id).bind(3, "V" + std::to_string(402113 + 37 * id))
            .bind(4, c.name).bind(5, c.addr).bind(6, c.city).bind(7, c.state).bind(8, c.zip).run();
        ++m_counts.contractors;
        return id;
    }

    int writeAgreement(const Incident& incident, int contractorId, const cat::Contractor& c, DemoRandom& r)
    {
        const int id = ++m_agreementId;
        const int office = incident.adminOffices[r.below(2)];
        char number[32];
        std::snprintf(number, sizeof number, "%s-26-E-%04d", cat::AdminOffices[office].code, 1000 + id);
        m_insertAgreement.bind(1, id).bind(2, contractorId).bind(3, office + 1).bind(4, number)
            .bind(5, std::string(c.city) + ", " + c.state).bind(6, "2026-04-01")
            .bind(7, r.percent(70) ? "2026-12-31" : "2027-03-31").run();
        return id;
    }

    std::string uniqueName(const cat::Contractor& c, const char* word)
    {
        const std::string key = std::string(c.shortName) + " " + word;
        return key + " " + std::to_string(++m_equipmentNames[key]);
    }

    void writeContractors(Incident& incident, int step, DemoRandom& r)
    {
        static const Order waterTender{"WTS2", "Water Tender", 'E', 0, Billing::Daily, 135000, 11, true,
                                       cat::TenderModels, int(std::size(cat::TenderModels))};
        static const Order tacticalTender{"WTT1", "Water Tender", 'E', 0, Billing::Daily, 210000, 13, true,
                                          cat::TenderModels, int(std::size(cat::TenderModels))};
        static const Order engine3{"ENG3", "Engine", 'E', 1, Billing::Daily, 265000, 13, true,
                                   cat::EngineModels, int(std::size(cat::EngineModels))};
        static const Order engine6{"ENG6", "Engine", 'E', 0, Billing::Daily, 145000, 11, true,
                                   cat::EngineModels, int(std::size(cat::EngineModels))};
        static const Order dozer{"DOZ2", "Dozer", 'E', 0, Billing::Hourly, 18500, 56, false,
                                 cat::DozerModels, int(std::size(cat::DozerModels))};
        static const Order excavator{"EXC2", "Excavator", 'E', 0, Billing::Hourly, 16500, 46, false,
                                     cat::ExcavatorModels, int(std::size(cat::ExcavatorModels))};
        static const Order crew{"CRC2", "Crew", 'C', 0, Billing::Daily, 520000, 45, false, nullptr, 0};
        static const Order shower{"SHWR", "Shower Unit", 'S', 1, Billing::Daily, 310000, 21, false, nullptr, 0};
        static const Order catering{"CATR", "Catering", 'S', 1, Billing::Meals, 1550, 11, false, nullptr, 0};

        struct Supplier {
            const cat::Contractor* contractor;
            std::vector<const Order*> orders;
        };
        std::vector<Supplier> suppliers;
        if (incident.id == 1) {
            const auto n = [](auto& list, int i) { return &list[size_t(i) % std::size(list)]; };
            suppliers.push_back({n(cat::WaterContractors, step), {&waterTender, &waterTender, &tacticalTender, &engine3}});
            suppliers.push_back({n(cat::EarthContractors, step), {&dozer, &dozer, &excavator}});
            suppliers.push_back({n(cat::CrewContractors, step), {&crew, &crew, &engine6}});
        } else {
            suppliers.push_back({&cat::SupportContractors[size_t(step) % std::size(cat::SupportContractors)],
                                 {&engine3, &engine3, &waterTender, &dozer, &shower, &catering}});
        }

        for (const Supplier& supplier : suppliers) {
            const int contractorId = writeContractor(incident, *supplier.contractor);
            int agreements[2] = {writeAgreement(incident, contractorId, *supplier.contractor, r), 0};
            bool first = true;
            for (const Order* order : supplier.orders) {
                int& agreementId = agreements[order->agreement];
                if (agreementId == 0) agreementId = writeAgreement(incident, contractorId, *supplier.contractor, r);
                // The last dozer of the second incident arrived on the last day: no postings yet.
                const bool justArrived = incident.id == 2 && order == &dozer;
                writeEquipment(incident, contractorId, agreementId, *supplier.contractor, *order, first, justArrived, r);
                first = false;
            }
        }
    }

    void writeEquipment(Incident& incident, int contractorId, int agreementId, const cat::Contractor& contractor,
                        const Order& order, bool firstOfContractor, bool justArrived, DemoRandom& r)
    {
        const std::string name = uniqueName(contractor, order.word);
        std::string requestNumber;
        if (order.category == 'C') requestNumber = "C-" + std::to_string(incident.nextCrew++);
        else if (order.category == 'S') requestNumber = "S-" + std::to_string(incident.nextSupply++);
        else requestNumber = "E-" + std::to_string(incident.nextEquipment++);

        const QDate assign = justArrived ? incident.start.addDays(PostingDays + 1)
                                         : incident.start.addDays(r.between(0, 3));
        const bool released = !justArrived && r.percent(20);
        const QDate lastDay = assign.addDays(PostingDays - 1);
        const bool collection = order.category == 'C';
        const int releaseMinutes = 9 * 60 + 30 * r.below(14);
        const char* remarks = r.percent(40) ? r.pick(cat::EquipmentRemarks) : nullptr;
        const int resourceId = writeResource(incident, QString::fromStdString(name), requestNumber, collection,
                                             order.kindCode, assign, released ? lastDay : QDate(), releaseMinutes,
                                             remarks);

        const int equipmentId = ++m_equipmentId;
        auto& e = m_insertEquipment;
        e.bind(1, equipmentId).bind(2, agreementId).bind(3, resourceId).bind(4, name);
        if (order.models) {
            const cat::EquipmentModel& model = order.models[r.below(order.modelCount)];
            e.bind(5, model.make).bind(6, model.model);
        } else {
            e.bindNull(5).bindNull(6);
        }
        e.bind(7, order.billing == Billing::Hourly && r.percent(10) ? "Y" : "N")
            .bind(8, r.percent(60) ? "Y" : "N")
            .bind(9, released && r.percent(30) ? "Y" : "N")
            .run();
        ++m_counts.equipment;

        if (collection) writeContractCrewPersons(incident, resourceId, assign, r);
        if (justArrived) return;

        // Rates and the daily guarantee.
        std::int64_t rate = order.rateFrom;
        if (order.billing == Billing::Daily) rate += 2500 * r.below(order.rateSteps);
        else if (order.billing == Billing::Hourly) rate += 100 * r.below(order.rateSteps);
        else rate += 25 * r.below(order.rateSteps);
        const std::int64_t guarantee = order.billing == Billing::Daily ? rate
                                       : order.billing == Billing::Hourly ? 4 * rate
                                                                           : 300 * rate;
        const char* uom = order.billing == Billing::Daily ? "Daily" : order.billing == Billing::Hourly ? "Hours" : "Each";
        const std::int64_t mileRate = 135 + 5 * r.below(7);

        // Days below the guarantee: half days down for repair, standby hours, few meals.
        const int lowDay = firstOfContractor || r.percent(60) ? r.below(PostingDays) : -1;
        for (int d = 0; d < PostingDays; ++d) {
            const bool low = d == lowDay || r.percent(6);
            double units = 1;
            if (order.billing == Billing::Daily) units = low ? 0.5 : 1;
            else if (order.billing == Billing::Hourly) units = low ? 0.25 * r.between(0, 14) : 0.25 * r.between(24, 48);
            else units = low ? r.between(150, 290) : r.between(320, 780);
            const int code = r.percent(85) ? incident.accountingIds.front() : r.pickFrom(incident.accountingIds);
            const std::string date = isoDate(assign.addDays(d));
            const std::int64_t amount = times(units, rate);

            auto& u = m_insertUse;
            u.bind(1, ++m_useId).bind(2, equipmentId).bind(3, date).bind(4, units).bind(5, uom)
                .bind(6, dollars(rate)).bind(7, dollars(amount));
            if (order.mileage) {
                const int miles = r.percent(25) ? 0 : r.between(4, 90);
                u.bind(8, double(miles)).bind(9, "Miles").bind(10, dollars(mileRate)).bind(11, dollars(miles * mileRate));
            } else {
                u.bind(8, 0.0).bindNull(9).bind(10, 0.0).bind(11, 0.0);
            }
            u.bind(12, dollars(guarantee)).bind(13, code).run();
            ++m_counts.equipmentPostings;

            m_insertEquipmentPost.bind(1, m_useId).bind(2, agreementId).bind(3, equipmentId).bind(4, date)
                .bind(5, uom).bind(6, units).bind(7, dollars(rate)).bind(8, dollars(amount)).bind(9, dollars(guarantee))
                .run();
        }

        // Deductions (positive) and additions (negative); the first piece of
        // each contractor has one of each.
        int count = r.below(100);
        count = count < 15 ? 0 : count < 55 ? 1 : count < 85 ? 2 : 3;
        for (int i = 0; i < (firstOfContractor ? 2 : count); ++i) {
            const bool deduction = firstOfContractor ? i == 0 : r.percent(70);
            const std::int64_t cents = deduction ? 3500 + 25 * r.below(2460) : -(2500 + 25 * r.below(1500));
            const QDate day = assign.addDays(r.below(PostingDays));
            m_insertAdjustment.bind(1, ++m_adjustmentId).bind(2, contractorId).bind(3, equipmentId)
                .bind(4, isoDate(day)).bind(5, dollars(cents))
                .bind(6, deduction ? r.pick(cat::Deductions) : r.pick(cat::Additions)).run();
            ++m_counts.adjustments;
            if (deduction) {
                m_insertContractorDebit.bind(1, ++m_contractorDebitId).bind(2, contractorId).bind(3, equipmentId)
                    .bind(4, dollars(cents)).run();
            }
        }
    }

    // Members of a contract crew: on the roster and posting time, but paid
    // through the contract (no rate, no fax number of a paying office).
    void writeContractCrewPersons(Incident& incident, int resourceId, const QDate& assign, DemoRandom& r)
    {
        const std::vector<DayPlan> days = schedule(r, false, false);
        const std::vector<int> codes = dayCodes(incident, r);
        const cat::Town& town = r.pick(cat::Towns);
        const int size = r.between(10, 12);
        for (int i = 0; i < size; ++i) {
            PersonSpec p;
            p.resourceId = resourceId;
            randomName(r, p);
            p.position = i == 0 ? &cat::CrewBoss : i == 1 ? &cat::SquadBoss : &cat::Firefighter;
            p.fedCode = "OTHER";
            p.agency = "PRI";
            p.home = &town;
            const int personId = writePerson(incident, p, r);
            writePostings(incident, personId, p, assign, days, codes, false, r);
        }
    }

    SqliteFile& m_db;
    DemoRandom m_rng;
    int m_scale;
    DemoCounts m_counts;
    std::vector<Incident> m_incidents;

    SqliteStatement m_insertResource;
    SqliteStatement m_insertPerson;
    SqliteStatement m_insertPost;
    SqliteStatement m_insertDebit;
    SqliteStatement m_insertContractor;
    SqliteStatement m_insertAgreement;
    SqliteStatement m_insertEquipment;
    SqliteStatement m_insertUse;
    SqliteStatement m_insertEquipmentPost;
    SqliteStatement m_insertAdjustment;
    SqliteStatement m_insertContractorDebit;

    int m_accountingId = 0;
    int m_resourceId = 0;
    int m_personId = 0;
    int m_postId = 0;
    int m_debitId = 0;
    int m_contractorId = 0;
    int m_agreementId = 0;
    int m_equipmentId = 0;
    int m_useId = 0;
    int m_adjustmentId = 0;
    int m_contractorDebitId = 0;
    int m_crewNames = 0;
    int m_lastSingleBase = 0;
    int m_lastSingleIncident = 0;
    int m_subordinates = 0;
    std::map<std::string, int> m_equipmentNames;
};

// Creates the file with the schema inside one transaction, runs `fill` in the
// same transaction, and removes the file again when anything fails.
template <typename Fill>
void writeNewDatabase(const QString& path, Fill&& fill)
{
    if (QFile::exists(path))
        throw DbError(ErrorNumber::Generic, QStringLiteral("%1 exists already").arg(path), QStringLiteral("SQLite"));
    try {
        SqliteFile db(path, SqliteFile::Mode::CreateNew);
        // A new file that is removed on failure needs no rollback journal.
        db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -65536;");
        db.exec("BEGIN");
        db.exec(sqliteSchemaSql());
        fill(db);
        db.exec("COMMIT");
        db.close();
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

}  // namespace

void createEmptyDatabase(const QString& path)
{
    writeNewDatabase(path, [](SqliteFile&) {});
}

DemoCounts createDemoDatabase(const QString& path, const DemoOptions& options)
{
    if (options.scale < 1)
        throw DbError(ErrorNumber::Generic, QStringLiteral("scale must be 1 or more"), QStringLiteral("SQLite"));
    DemoCounts counts;
    writeNewDatabase(path, [&](SqliteFile& db) {
        Generator generator(db, options);
        counts = generator.run();
        // Statistics for the query planner; the reports join large tables.
        db.exec("ANALYZE");
    });
    return counts;
}

}  // namespace quillon::demo
