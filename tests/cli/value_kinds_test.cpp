// The kinds of --with fields: values read into one form, columns guessed,
// and the levels two values of a kind reach.
#include <gtest/gtest.h>

#include "../../matching/model.h"
#include "../../matching/prepare.h"
#include "../../matching/value_kinds.h"

namespace {

const DateOrder kDay = DateOrder::DAY_FIRST, kMonth = DateOrder::MONTH_FIRST;

}  // namespace

TEST(ValueKinds, ValuesInOneForm) {
    const struct {
        ValueKind kind;
        DateOrder order;
        const char* raw;
        const char* form;  // "" when the value is not of the kind
    } cases[] = {
        {ValueKind::DATE, kDay, "1984-03-07", "19840307"},
        {ValueKind::DATE, kDay, "1984-03-07 00:00:00", "19840307"},
        {ValueKind::DATE, kDay, "19840307", "19840307"},
        {ValueKind::DATE, kDay, "07/03/1984", "19840307"},
        {ValueKind::DATE, kMonth, "03/07/1984", "19840307"},
        {ValueKind::DATE, kDay, "7.3.84", "19840307"},
        {ValueKind::DATE, kDay, "7.3.12", "20120307"},
        {ValueKind::DATE, kMonth, "March 7, 1984", "19840307"},
        {ValueKind::DATE, kDay, "7 mars 1984", "19840307"},
        {ValueKind::DATE, kDay, "07-Mar-1984", "19840307"},
        {ValueKind::DATE, kDay, "1984 Sept 07", "19840907"},
        {ValueKind::DATE, kDay, "29/02/1984", "19840229"},
        {ValueKind::DATE, kDay, "29/02/1985", ""},  // no such day
        {ValueKind::DATE, kDay, "13/13/1984", ""},
        {ValueKind::DATE, kDay, "1984", ""},
        {ValueKind::DATE, kDay, "unknown", ""},
        {ValueKind::NUMBER, kDay, " 1984 ", "1984"},
        {ValueKind::NUMBER, kDay, "007", "7"},
        {ValueKind::NUMBER, kDay, "-3", "-3"},
        {ValueKind::NUMBER, kDay, "19a4", ""},
        {ValueKind::CODE, kDay, "ab1 2cd", "AB12CD"},
        {ValueKind::TEXT, kDay, "St. Louis", "SAINTLOUIS"},
        {ValueKind::TEXT, kDay, "Saint-Louis", "SAINTLOUIS"},
        {ValueKind::TEXT, kDay, "Mt Vernon", "MOUNTVERNON"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(valueForm(c.kind, c.order, c.raw), c.form) << kindName(c.kind) << " " << c.raw;
}

TEST(ValueKinds, ColumnsGuessed) {
    const struct {
        std::vector<std::string_view> values;
        ValueKind kind;
        DateOrder order;
        bool orderGuessed;
    } cases[] = {
        {{"1984-03-07", "2001-12-30", "1950-01-01"}, ValueKind::DATE, kDay, true},
        {{"07/03/1984", "25/12/2001"}, ValueKind::DATE, kDay, false},
        {{"03/07/1984", "12/25/2001"}, ValueKind::DATE, kMonth, false},
        {{"1984", "1985", "2001"}, ValueKind::NUMBER, kDay, true},
        {{"75001", "10115", "SW1A 1AA"}, ValueKind::TEXT, kDay, true},  // one in three with a blank
        {{"75001", "10115", "D02X285"}, ValueKind::CODE, kDay, true},
        {{"Paris", "Lyon", "St. Louis"}, ValueKind::TEXT, kDay, true},
        {{}, ValueKind::TEXT, kDay, true},
    };
    for (const auto& c : cases) {
        ValueColumn column;
        guessColumn(c.values, &column);
        EXPECT_EQ(column.kind, c.kind) << (c.values.empty() ? "" : c.values[0]);
        EXPECT_TRUE(column.guessed);
        if (c.kind == ValueKind::DATE) {
            EXPECT_EQ(column.order, c.order) << c.values[0];
            EXPECT_EQ(column.orderGuessed, c.orderGuessed) << c.values[0];
        }
    }
    // A kind given is kept, whatever the values look like.
    ValueColumn given;
    given.kind = ValueKind::CODE;
    guessColumn({"1984", "1985"}, &given);
    EXPECT_EQ(given.kind, ValueKind::CODE);
    EXPECT_FALSE(given.guessed);
}

TEST(ValueKinds, Levels) {
    const struct {
        ValueKind kind;
        const char* a;
        const char* b;
        Level level;
    } cases[] = {
        {ValueKind::DATE, "19840307", "19840307", EXACT},
        {ValueKind::DATE, "19840307", "", MISSING},
        {ValueKind::DATE, "19840307", "19840703", ALIKE},  // day and month swapped
        {ValueKind::DATE, "19841203", "19840312", ALIKE},
        {ValueKind::DATE, "19840307", "19840308", CLOSE},  // a digit
        {ValueKind::DATE, "19840307", "19480307", CLOSE},  // two neighbours swapped
        {ValueKind::DATE, "19840307", "19840325", SOME},   // same year and month
        {ValueKind::DATE, "19840307", "19850408", DIFFERENT},
        {ValueKind::NUMBER, "1984", "1985", CLOSE},
        {ValueKind::NUMBER, "-1", "0", CLOSE},
        {ValueKind::NUMBER, "1984", "1986", DIFFERENT},
        {ValueKind::NUMBER, "1984", "2984", DIFFERENT},
        {ValueKind::CODE, "75001", "75011", CLOSE},
        {ValueKind::CODE, "75001", "57001", CLOSE},
        {ValueKind::CODE, "75001", "7501", CLOSE},
        {ValueKind::CODE, "75001", "750012", CLOSE},
        {ValueKind::CODE, "75001", "75110", DIFFERENT},
        {ValueKind::TEXT, "PARIS", "PARIS", EXACT},
        {ValueKind::TEXT, "PARIS", "PARSI", CLOSE},  // the most text can be: the library tells
    };
    for (const auto& c : cases)
        EXPECT_EQ(valueLevel(c.kind, c.a, c.b), c.level) << kindName(c.kind) << " " << c.a << " " << c.b;
}

TEST(ValueKinds, PreparedAcrossListsWithUnfitValuesMissing) {
    // Link's two lists read a field alike: the order told by B's dates
    // holds for A's too.
    PeopleColumns a, b;
    a.values = {{"03/07/1984"}, {"not known"}, {""}};
    b.values = {{"12/25/2001"}};
    std::vector<ValueColumn> columns(1);
    columns[0].name = "dob";
    columns[0].kind = ValueKind::DATE;  // one value in three is no date: too few to guess it
    prepareValues({&a, &b}, &columns);
    EXPECT_EQ(columns[0].kind, ValueKind::DATE);
    EXPECT_EQ(columns[0].order, kMonth);
    EXPECT_EQ(a.values[0][0], "19840307");
    EXPECT_EQ(a.values[1][0], "");
    EXPECT_EQ(b.values[0][0], "20011225");
    EXPECT_EQ(columns[0].present, 3u);
    EXPECT_EQ(columns[0].unfit, 1u);
    EXPECT_EQ(columns[0].firstUnfit, "not known");
    EXPECT_EQ(a.kinds, std::vector<ValueKind>{ValueKind::DATE});
}

TEST(ValueKinds, SplitWithField) {
    std::string name;
    ValueKind kind;
    splitWithField("dob:date", &name, &kind);
    EXPECT_EQ(name, "dob");
    EXPECT_EQ(kind, ValueKind::DATE);
    splitWithField("zip", &name, &kind);
    EXPECT_EQ(name, "zip");
    EXPECT_EQ(kind, ValueKind::GUESS);
    splitWithField("a:b", &name, &kind);  // no kind: a header's name with a colon
    EXPECT_EQ(name, "a:b");
    EXPECT_EQ(kind, ValueKind::GUESS);
}
