// Learning orders: the order in which the trainer brings in its characters.
//
// An order is a string of distinct characters from the trainer's 40 (the 26
// letters, the ten digits and . , ? /), stored in lower case as the trainer
// keeps them. The known orders are permutations of all 40: the program's own
// first, then the orders of the courses learners follow, as the courses
// publish them. A course's signs outside the 40 (prosigns, "=") are left out,
// and characters a course never teaches come last, in the program's order.
// A custom set is any such string the learner types, from one character to
// all 40; a set shorter than 40 limits the lesson to its characters.
//
//  - KnownOrders: the five known orders, the program's own first.
//  - ParseCustomSet: the learner's text with spaces ignored and either case;
//    a character outside the 40, one given twice, or no character at all
//    throws ELearningOrder with a message that names the fault.
//  - IsLearningOrder: whether a stored text (a settings line, a log field) is
//    a valid order as stored: lower case, no spaces, nothing repeated.
//  - OrderName: what to call an order: a known order's name, otherwise
//    "Custom set (KMR)" with the characters in upper case.
#pragma once

#include "common/Errors.h"

#include <string>
#include <vector>

namespace kalvo {

class ELearningOrder : public EKalvoError {
public:
    using EKalvoError::EKalvoError;
};

struct LearningOrder {
    const char* Name;
    const char* Characters;
};

const std::vector<LearningOrder>& KnownOrders();
const std::string& TrainerCharacters(); // the 40, in the program's own order

std::string ParseCustomSet(const std::string& text);
bool IsLearningOrder(const std::string& stored);
std::string OrderName(const std::string& characters);

} // namespace kalvo
