// Release date and time: what typed values become, and what cmdSave stores,
// asks and clears.
#include "equipmentfixture.h"

#include "invoicing/releasedate.h"

using namespace eqtest;

namespace {

// The validator of the program, counting how often it was asked.
struct CountingValidator : ReleaseDateValidator {
    int asked = 0;
    bool validate(Connection& db, std::int32_t resourceId, const QString& date) override
    {
        ++asked;
        return ReleaseDateValidator::validate(db, resourceId, date);
    }
};

QString stored(EquipmentDb& t, const char* column)
{
    return t.scalar(QStringLiteral("Select %1 from Resources where ResourceID = 13").arg(column)).toString();
}

}  // namespace

TEST(ReleaseReturnDate, TypedTimesAndDates)
{
    auto time = [](const QString& typed) {
        const Value v = ReturnDate(typed, true);
        return v.isNull() ? QStringLiteral("empty") : v.toDateTime().time().toString("hh:mm");
    };
    EXPECT_EQ(time("0730"), "07:30");
    EXPECT_EQ(time("24:00"), "00:00");
    EXPECT_EQ(time("730"), "empty");
    EXPECT_EQ(time("7:30 PM"), "19:30");
    EXPECT_EQ(time(" 14:05_"), "14:05");
    EXPECT_EQ(time("2561"), "empty");    // four digits that are no time of day
    EXPECT_EQ(time("99:99"), "empty");

    EXPECT_EQ(ReturnDate("07/30/2005", false).toDate(), QDate(2005, 7, 30));
    EXPECT_EQ(ReturnDate("7/3/2005", false).toDate(), QDate(2005, 7, 3));
    EXPECT_TRUE(ReturnDate("__/__/____", false).isNull());
    EXPECT_TRUE(ReturnDate("02/30/2005", false).isNull());
    EXPECT_EQ(timeFromList("0600"), "06:00");
}

TEST(ReleaseSave, StoresAsksTheValidatorOnlyWithBothAndClearsARefusal)
{
    EquipmentDb t;
    ScriptedDialogs dialogs;
    CountingValidator validator;
    // The name holds an apostrophe; its resource is still found.
    const QString name = "Dozer O'Brien";
    QString date = "07/30/2005", time = "0730";
    EXPECT_EQ(saveReleaseDateTime(t.db, dialogs, validator, name, date, time), ReleaseSaveOutcome::Saved);
    EXPECT_EQ(stored(t, "ReleaseDate"), "7/30/2005");
    EXPECT_EQ(stored(t, "ReleaseTime"), "7:30:00 AM");
    EXPECT_EQ(validator.asked, 1);

    time = "730";
    saveReleaseDateTime(t.db, dialogs, validator, name, date, time);
    EXPECT_EQ(stored(t, "ReleaseTime"), "");

    // A date without a time is stored without asking; even one before the
    // resource was assigned.
    validator.asked = 0;
    date = "07/01/2005";
    time = "";
    saveReleaseDateTime(t.db, dialogs, validator, name, date, time);
    EXPECT_EQ(validator.asked, 0);
    EXPECT_EQ(stored(t, "ReleaseDate"), "7/1/2005");

    // With a time, that date is refused: both boxes and both columns empty.
    time = "1800";
    saveReleaseDateTime(t.db, dialogs, validator, name, date, time);
    EXPECT_EQ(validator.asked, 1);
    EXPECT_TRUE(date.isEmpty() && time.isEmpty());
    EXPECT_EQ(stored(t, "ReleaseDate"), "");
    EXPECT_EQ(stored(t, "ReleaseTime"), "");

    // An empty box only empties the time box; the cleared mask stores empty.
    time = "1800";
    EXPECT_EQ(saveReleaseDateTime(t.db, dialogs, validator, name, date, time), ReleaseSaveOutcome::TimeCleared);
    EXPECT_TRUE(time.isEmpty());
    date = "07/30/2005";
    time = "1800";
    saveReleaseDateTime(t.db, dialogs, validator, name, date, time);
    date = "__/__/____";
    saveReleaseDateTime(t.db, dialogs, validator, name, date, time);
    EXPECT_EQ(stored(t, "ReleaseDate"), "");
    EXPECT_EQ(stored(t, "ReleaseTime"), "6:00:00 PM");
    EXPECT_TRUE(dialogs.log().isEmpty());

    date = "07/30/2005";
    EXPECT_EQ(saveReleaseDateTime(t.db, dialogs, validator, "No such thing", date, time),
              ReleaseSaveOutcome::NotAResource);
    EXPECT_EQ(boxes(dialogs), QStringList({"MESSAGE Data Error | There seems to be something wrong in the data. \\n"
                                           "The contractor you have selected does not seem to be a resource."}));
}
