#pragma once
// Fixed word lists the sample generator draws from: names, places, agencies
// and their offices, positions and kinds, contractors, commissary items.
// Telephone and fax numbers use the 555-01xx range that is never assigned.

namespace quillon::demo::catalog {

struct Town {
    const char* city;
    const char* state;
    const char* zip;
    const char* areaCode;
};

struct Office {
    const char* agency;
    const char* fedCode;  // employment code of the agency's own staff
    const char* fax;      // ten digits
};

struct Position {
    const char* kindCode;
    const char* kindDesc;
    int rateCents;  // hourly rate
};

struct Kind {
    const char* kindCode;
    const char* kindDesc;
};

struct Contractor {
    const char* name;
    const char* shortName;  // starts the unique names of its equipment
    const char* addr;
    const char* city;
    const char* state;
    const char* zip;
};

struct AdminOffice {
    const char* name;
    const char* addr1;
    const char* addr2;
    const char* city;
    const char* state;
    const char* zip;
    const char* code;  // part of agreement numbers
};

struct Item {
    const char* description;
    int cents;
};

struct EquipmentModel {
    const char* make;
    const char* model;
};

inline constexpr const char* FirstNames[] = {
    "James", "Maria", "Robert", "Linda", "Michael", "Sarah", "David", "Jennifer", "Daniel", "Emily",
    "Jose", "Ashley", "Kevin", "Megan", "Brian", "Rachel", "Anthony", "Laura", "Jason", "Nicole",
    "Matthew", "Amanda", "Joshua", "Stephanie", "Andrew", "Jessica", "Ryan", "Heather", "Tyler", "Kayla",
    "Luis", "Rosa", "Carlos", "Ana", "Miguel", "Elena", "Juan", "Gabriela", "Diego", "Sofia",
    "Eric", "Tanya", "Cody", "Brandi", "Dustin", "Krista", "Travis", "Jolene", "Wade", "Shelby",
    "Nathan", "Hannah", "Aaron", "Kelsey", "Caleb", "Morgan", "Ethan", "Paige", "Logan", "Brooke",
    "Samuel", "Grace", "Isaac", "Naomi", "Owen", "Claire", "Levi", "Tessa", "Micah", "Alyssa",
    "Dakota", "Cheyenne", "Thomas", "Joan", "Patrick", "Colleen", "Sean", "Bridget", "Victor", "Irene",
};

// A few names carry apostrophes: they must survive every SQL text built from them.
inline constexpr const char* LastNames[] = {
    "Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller", "Davis", "Rodriguez", "Martinez",
    "Hernandez", "Lopez", "Gonzalez", "Wilson", "Anderson", "Thomas", "Taylor", "Moore", "Jackson", "Martin",
    "Lee", "Perez", "Thompson", "White", "Harris", "Sanchez", "Clark", "Ramirez", "Lewis", "Robinson",
    "Walker", "Young", "Allen", "King", "Wright", "Scott", "Torres", "Nguyen", "Hill", "Flores",
    "Green", "Adams", "Nelson", "Baker", "Hall", "Rivera", "Campbell", "Mitchell", "Carter", "Roberts",
    "O'Brien", "O'Neill", "D'Amico", "McAllister", "Whitehorse", "Running Bear", "Yazzie", "Begay", "Tsosie", "Redcloud",
    "Hoffman", "Larsen", "Lindqvist", "Okafor", "Takahashi", "Kowalski", "Schneider", "Fischer", "Dubois", "Moreau",
    "Castillo", "Vargas", "Medina", "Aguilar", "Ortega", "Delgado", "Navarro", "Ibarra", "Salazar", "Cervantes",
    "Bishop", "Holt", "Pruitt", "Crane", "Stroud", "Gentry", "Haskins", "Tolbert", "Voss", "Whitaker",
};

inline constexpr Town Towns[] = {
    {"Redding", "CA", "96001", "530"},      {"Yreka", "CA", "96097", "530"},
    {"Susanville", "CA", "96130", "530"},   {"Quincy", "CA", "95971", "530"},
    {"Chico", "CA", "95926", "530"},        {"Oroville", "CA", "95965", "530"},
    {"Fresno", "CA", "93721", "559"},       {"Three Rivers", "CA", "93271", "559"},
    {"Bishop", "CA", "93514", "760"},       {"Ukiah", "CA", "95482", "707"},
    {"Eureka", "CA", "95501", "707"},       {"Placerville", "CA", "95667", "530"},
    {"Medford", "OR", "97501", "541"},      {"Grants Pass", "OR", "97526", "541"},
    {"Bend", "OR", "97701", "541"},         {"Prineville", "OR", "97754", "541"},
    {"Klamath Falls", "OR", "97601", "541"}, {"Roseburg", "OR", "97470", "541"},
    {"Salem", "OR", "97301", "503"},        {"John Day", "OR", "97845", "541"},
    {"Boise", "ID", "83702", "208"},        {"McCall", "ID", "83638", "208"},
    {"Missoula", "MT", "59801", "406"},     {"Hamilton", "MT", "59840", "406"},
    {"Reno", "NV", "89501", "775"},         {"Elko", "NV", "89801", "775"},
    {"Flagstaff", "AZ", "86001", "928"},    {"Window Rock", "AZ", "86515", "928"},
};

inline constexpr const char* Streets[] = {
    "Pine St", "Cedar Ave", "Oak Dr", "Main St", "Ridge Rd", "Canyon Rd", "Juniper Ln", "River Rd",
    "Hillcrest Dr", "Lassen View Dr", "Sugar Pine Way", "Mill St", "Fir Ct", "Aspen Way", "Sage Brush Rd",
    "Old Stage Rd", "Forest Service Rd 12", "Manzanita Ln", "Willow Creek Rd", "Bear Creek Rd",
};

// Offices through which persons are paid; several per agency, each with its
// own fax number. The fed code is the one the agency's own staff carry.
inline constexpr Office Offices[] = {
    {"USFS", "FED", "5305550141"},   {"USFS", "FED", "5305550142"},   {"USFS", "FED", "5415550143"},
    {"USFS", "FED", "4065550144"},   {"BLM", "FED", "5305550151"},    {"BLM", "FED", "5415550152"},
    {"BLM", "FED", "2085550153"},    {"NPS", "FED", "5595550161"},    {"NPS", "FED", "5415550162"},
    {"CAL", "OTHER", "5305550171"},  {"CAL", "OTHER", "5595550172"},  {"CAL", "OTHER", "9515550173"},
    {"ODF", "OTHER", "5035550181"},  {"ODF", "OTHER", "5415550182"},
};

inline constexpr Position CrewBoss = {"CRWB", "Single Resource Crew Boss", 3150};
inline constexpr Position SquadBoss = {"FFT1", "Firefighter Type 1 (Squad Boss)", 2640};
inline constexpr Position Firefighter = {"FFT2", "Firefighter Type 2", 1985};

// Overhead and support positions of single resources.
inline constexpr Position OverheadPositions[] = {
    {"DIVS", "Division/Group Supervisor", 4275},     {"TFLD", "Task Force Leader", 3890},
    {"STEN", "Strike Team Leader Engine", 3810},     {"SOFR", "Safety Officer, Line", 4120},
    {"FBAN", "Fire Behavior Analyst", 4360},         {"FOBS", "Field Observer", 2980},
    {"TIME", "Time Unit Leader", 3240},              {"PTRC", "Personnel Time Recorder", 2215},
    {"EQTR", "Equipment Time Recorder", 2215},       {"COMT", "Incident Communications Technician", 2760},
    {"MEDL", "Medical Unit Leader", 3345},           {"EMTF", "Emergency Medical Technician", 2690},
    {"ENGB", "Single Resource Engine Boss", 3055},   {"FALB", "Felling Boss", 3010},
    {"HEQB", "Heavy Equipment Boss", 3065},          {"SCKN", "Status/Check-In Recorder", 2140},
    {"FACL", "Facilities Unit Leader", 3290},        {"GSUL", "Ground Support Unit Leader", 3180},
};

inline constexpr Kind ResourceKinds[] = {
    {"CRC1", "Crew, Type 1"},
    {"CRC2", "Crew, Type 2"},
    {"ENG3", "Engine, Type 3"},
    {"ENG6", "Engine, Type 6"},
    {"WTS2", "Water Tender, Support, Type 2"},
    {"WTT1", "Water Tender, Tactical, Type 1"},
    {"DOZ2", "Dozer, Type 2"},
    {"EXC2", "Excavator, Type 2"},
    {"SHWR", "Mobile Shower Unit"},
    {"CATR", "Mobile Food Service Unit"},
    {"HELI", "Helicopter, Type 2"},  // in the list, not used by the sample
};

inline constexpr const char* CrewPlaces[] = {
    "Shasta Lake", "Salmon River", "Hat Creek", "Trinity", "Klamath", "Modoc", "Lassen", "Rogue Valley",
    "Prineville", "Warner Mountain", "Plumas", "Sequoia", "Kern Valley", "Mendocino", "Eldorado", "Stanislaus",
    "Tahoe", "Umpqua", "Siskiyou", "Deschutes", "Ochoco", "Malheur", "Payette", "Bitterroot",
};

// Contractors by what they supply; the generator takes one of each group per
// scale step.
inline constexpr Contractor WaterContractors[] = {
    {"O'Brien Water Hauling", "O'Brien", "4410 Airport Rd", "Anderson", "CA", "96007"},
    {"Northstate Tank Lines", "Northstate", "88 Industrial Way", "Red Bluff", "CA", "96080"},
    {"High Desert Water Service", "High Desert", "2950 Hwy 97 N", "Bend", "OR", "97703"},
    {"Two Rivers Hauling", "Two Rivers", "615 Front St", "Lewiston", "ID", "83501"},
};
inline constexpr Contractor EarthContractors[] = {
    {"Sierra Earthworks LLC", "Sierra", "1200 Quarry Rd", "Oroville", "CA", "95966"},
    {"Cascade Grading & Clearing", "Cascade", "31 Timber Ln", "Sutherlin", "OR", "97479"},
    {"Big Sky Dirt Works", "Big Sky", "7704 Frontage Rd", "Missoula", "MT", "59808"},
};
inline constexpr Contractor CrewContractors[] = {
    {"Greenleaf Reforestation Inc.", "Greenleaf", "455 Mill Pond Rd", "Eugene", "OR", "97402"},
    {"Firebreak Services Co.", "Firebreak", "19 Cemetery Ridge Rd", "Grants Pass", "OR", "97527"},
    {"Mountain Crew Contracting", "Mountain Crew", "3021 Rancheria Rd", "Auburn", "CA", "95603"},
};
inline constexpr Contractor SupportContractors[] = {
    {"D'Angelo Fire Equipment", "D'Angelo", "12 Depot St", "Medford", "OR", "97501"},
    {"Summit Fire Logistics", "Summit", "990 Commerce Pkwy", "Boise", "ID", "83705"},
    {"Pacific Incident Support", "Pacific", "5120 Harbor Blvd", "Eureka", "CA", "95501"},
};

inline constexpr AdminOffice AdminOffices[] = {
    {"Northern California Acquisition Center", "3644 Avtech Pkwy", "Suite 210", "Redding", "CA", "96002", "NCA"},
    {"Sierra Incident Business Office", "1600 Tollhouse Rd", nullptr, "Clovis", "CA", "93611", "SIB"},
    {"Pacific Northwest Procurement Office", "1220 SW 3rd Ave", "Room 1640", "Portland", "OR", "97204", "PNW"},
    {"Central Oregon Contracting Unit", "3050 NE 3rd St", nullptr, "Prineville", "OR", "97754", "COC"},
};

inline constexpr EquipmentModel EngineModels[] = {
    {"Hartwell", "HT-3500 4x4"}, {"Norcross", "Brushmaster 3"}, {"Bexar Trucks", "BX 550"},
};
inline constexpr EquipmentModel TenderModels[] = {
    {"Norcross", "Tanker 4000"}, {"Hartwell", "HT-7400 Tender"}, {"Bexar Trucks", "BX 900 WT"},
};
inline constexpr EquipmentModel DozerModels[] = {
    {"Granite Works", "GW-6 LGP"}, {"Tolliver", "TD-150"}, {"Granite Works", "GW-5 XL"},
};
inline constexpr EquipmentModel ExcavatorModels[] = {
    {"Tolliver", "TX-210"}, {"Granite Works", "GX-225"},
};

inline constexpr Item CommissaryItems[] = {
    {"Boots, leather, pair", 28950}, {"Socks, wool, 3 pair", 2400}, {"Gloves, leather", 1875},
    {"T-shirt, cotton", 1200},       {"Sweatshirt", 3150},          {"Lip balm", 350},
    {"Sunscreen", 875},              {"Batteries, AA 8 pack", 925}, {"Bandana", 450},
    {"Toiletry kit", 1650},          {"Moleskin", 525},             {"Headlamp", 2295},
};

// Equipment adjustments: deductions are charged to the contractor (positive
// amounts), additions owed to it (negative amounts).
inline constexpr const char* Deductions[] = {
    "Fuel issued, diesel", "Meals furnished to operator", "Lodging, government camp",
    "Damage to government hose", "Oil and lubricants issued", "Commissary, operator",
};
inline constexpr const char* Additions[] = {
    "Tire repair, reimbursed", "Replacement pump seal", "Extra operator, ordered", "Hose fittings purchased",
};

inline constexpr const char* Remarks[] = {
    "Trainee - position task book", "Needs 2 days R&R at home unit", "Light duty day 9 per medical unit",
    "Released early - family emergency", "Return travel by air from RDD", "Self-sufficient first 48 hours",
};

inline constexpr const char* EquipmentRemarks[] = {
    "Operator furnished; fuel by government", "Fully operated and maintained", "Wet rate; mileage billed separately",
    "Down for repairs one half day",
};

}  // namespace quillon::demo::catalog
