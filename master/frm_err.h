#pragma once

#include "core/form.h"
#include <array>

class QLabel;

// The list of proposal error codes, for reading only.
class frm_err : public Form {
    Q_OBJECT
public:
    frm_err();
    void Form_Load() override;

    std::array<QLabel *, 9> lg_err;
};

inline FormSlot<frm_err> frm_err_form;
