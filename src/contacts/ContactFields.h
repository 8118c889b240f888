#pragma once

// The boxes of a contact person, top to bottom, as the contacts windows
// show them: the box is named after its column, its label has a name and a
// caption of its own.
struct ContactField {
    const char* column;
    const char* label;
    const char* caption;
};

inline constexpr ContactField ContactFields[] = {
    {"TEXT01", "LabelTitle", "TITLE"},
    {"TEXT02", "LabelFirstName", "FIRST NAME"},
    {"TEXT03", "LabelLastName", "LAST NAME"},
    {"TEXT06", "LabelOccupation", "OCCUPATION"},
    {"TEXT07", "LabelDesignation", "DESIGNATION"},
    {"TEXT04", "LabelCellphone", "CELLPHONE"},
    {"TEXT08", "LabelDirect", "DIRECT TELEPHONE"},
    {"TEXT09", "LabelDirectFax", "DIRECT FAX"},
    {"TEXT05", "LabelEMail", "E-MAIL"},
    {"TEXT10", "LabelAssistant", "ASSISTANT"},
};
