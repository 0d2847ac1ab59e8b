/* What the settings forms do around a save: every numeric field is checked
 * with the shared rules (form-rules.js) before anything is sent, the first
 * field refused is named in the warning alert and marked, and after a save
 * the form shows the values as the files now hold them. */

// True when every numeric field of the form passes, each then holding its
// text as it is sent ("30" becomes "30sp"); else the warning alert names the
// first field that does not, and that field is marked.
function FormFieldsPass(form) {
    var outcome = FormRules.checkForm(form, FieldText);
    $('.field-refused').removeClass('field-refused');
    if (outcome.ok) {
        $.each(outcome.texts, function (id, text) {
            $('#' + id).val(text);
        });
        return true;
    }
    $('#' + outcome.field).addClass('field-refused').trigger('focus');
    ALERT(outcome.message);
    return false;
}

// The values of the form's fields by id.
function FormFieldValues() {
    var values = {};
    $('input[id], select[id]').each(function () {
        values[this.id] = $(this).val();
    });
    return values;
}

// Runs a save; when every file was written, fills the form again from the
// files (reload), so it shows what was stored ("36" comes back as "36px").
// What the designer typed meanwhile is kept.
async function SaveAndShowStored(save, reload) {
    var sent = FormFieldValues();
    if (!ShowSaveOutcome(await save())) {
        return;
    }
    var typed = FormFieldValues();
    await reload();
    $.each(typed, function (id, value) {
        if (value !== sent[id]) {
            $('#' + id).val(value);
        }
    });
}

// A field typed again loses its mark.
$(document).on('input', '.field-refused', function () {
    $(this).removeClass('field-refused');
});
