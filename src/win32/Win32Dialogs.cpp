#include "Win32Dialogs.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"

namespace kestro {

namespace {

// What a dialog procedure needs: its model, and an exception thrown by an
// operation, carried out of the Windows message loop (which C++ exceptions
// must not cross) and thrown again once the dialog has closed.
template <typename Model>
struct DialogContext {
    Model* model;
    std::exception_ptr error;
};

template <typename Model>
DialogContext<Model>* contextOf(HWND dialog) {
    return reinterpret_cast<DialogContext<Model>*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

template <typename Model>
INT_PTR runModal(HINSTANCE resources, int templateId, HWND owner, DLGPROC procedure, Model& model) {
    DialogContext<Model> context{&model, nullptr};
    const INT_PTR result = DialogBoxParamA(resources, MAKEINTRESOURCEA(templateId), owner, procedure,
                                           reinterpret_cast<LPARAM>(&context));
    if (context.error) std::rethrow_exception(context.error);
    return result;
}

void setChecked(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string controlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    // The length may count characters rather than bytes: room for two
    // bytes each, and the text taken up to its zero byte.
    std::vector<char> buffer(static_cast<std::size_t>(length) * 2 + 2, '\0');
    GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data());
}

INT_PTR CALLBACK aboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

void showPaperChecks(HWND dialog, const PaperSizeDialog& model) {
    setChecked(dialog, PaperSizeDialog::kSkipUntilRestartBox, model.skipUntilRestartChecked());
    setChecked(dialog, PaperSizeDialog::kSkipFromNowOnBox, model.skipFromNowOnChecked());
}

INT_PTR CALLBACK paperProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using Context = DialogContext<PaperSizeDialog>;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const PaperSizeDialog& model = *reinterpret_cast<Context*>(lParam)->model;
        const int position = model.checkedPosition();
        for (std::size_t i = 0; i < PaperSizeDialog::kChoices.size(); ++i) {
            setChecked(dialog, PaperSizeDialog::kChoices[i].controlId, static_cast<int>(i) == position);
        }
        showPaperChecks(dialog, model);
        return TRUE;
    }
    Context* context = contextOf<PaperSizeDialog>(dialog);
    if (message != WM_COMMAND || context == nullptr) return FALSE;
    PaperSizeDialog& model = *context->model;
    const int id = LOWORD(wParam);
    switch (id) {
        case PaperSizeDialog::kSkipUntilRestartBox:
        case PaperSizeDialog::kSkipFromNowOnBox:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            // The box has toggled its own mark; the model decides both marks.
            if (id == PaperSizeDialog::kSkipUntilRestartBox) {
                model.clickSkipUntilRestart();
            } else {
                model.clickSkipFromNowOn();
            }
            showPaperChecks(dialog, model);
            return TRUE;
        case IDOK:
            model.accept(checkedPaperPosition(dialog));
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK indexProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using Context = DialogContext<IndexOptionsDialog>;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        const IndexOptionsDialog& model = *reinterpret_cast<Context*>(lParam)->model;
        SetDlgItemTextA(dialog, IndexOptionsDialog::kOptionsEdit, model.optionsText.c_str());
        setChecked(dialog, IndexOptionsDialog::kNeverShowBox, model.neverShow != 0);
        return TRUE;
    }
    Context* context = contextOf<IndexOptionsDialog>(dialog);
    if (message != WM_COMMAND || context == nullptr) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            context->model->accept(controlText(dialog, IndexOptionsDialog::kOptionsEdit),
                                   IsDlgButtonChecked(dialog, IndexOptionsDialog::kNeverShowBox) == BST_CHECKED);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

bool isPanelOperation(int id) {
    const auto& operations = SettingsDialog::kOperations;
    return std::find(operations.begin(), operations.end(), id) != operations.end();
}

INT_PTR CALLBACK settingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using Context = DialogContext<SettingsDialog>;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    Context* context = contextOf<SettingsDialog>(dialog);
    if (message != WM_COMMAND || context == nullptr) return FALSE;
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
    }
    if (HIWORD(wParam) == BN_CLICKED && isPanelOperation(id)) {
        try {
            context->model->press(id);
        } catch (...) {
            context->error = std::current_exception();
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int checkedPaperPosition(HWND dialog) {
    for (std::size_t i = 0; i < PaperSizeDialog::kChoices.size(); ++i) {
        if (IsDlgButtonChecked(dialog, PaperSizeDialog::kChoices[i].controlId) == BST_CHECKED) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void runAboutDialog(HINSTANCE resources, HWND owner) {
    DialogBoxParamA(resources, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutProcedure, 0);
}

bool runPaperSizeDialogWindow(HINSTANCE resources, HWND owner, PaperSizeDialog& model) {
    return runModal(resources, IDD_PAPER_SIZE, owner, paperProcedure, model) == IDOK;
}

bool runIndexOptionsDialogWindow(HINSTANCE resources, HWND owner, IndexOptionsDialog& model) {
    return runModal(resources, IDD_INDEX_OPTIONS, owner, indexProcedure, model) == IDOK;
}

void runSettingsDialogWindow(HINSTANCE resources, HWND owner, SettingsDialog& model) {
    runModal(resources, IDD_SETTINGS, owner, settingsProcedure, model);
}

}  // namespace kestro
