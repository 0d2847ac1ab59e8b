// The files one settings save writes, handled together: every file is opened
// and checked before any is written, so a damaged file stops the whole save
// instead of leaving some densities written and others old; then the files
// are written all or none (StagedFiles), files whose document did not change
// are left alone, and only then do the copies and preview moves follow. A
// file that does not exist is passed over and named in the report.
//
// Every editor's save goes through one batch, so the batch is the one place
// that changes a project's files for the settings forms.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "settings/density_scale.h"
#include "settings/form_values.h"
#include "settings/layout_file.h"
#include "settings/values_file.h"

namespace sw::settings {

// What a save did, for the form that asked for it. File names are relative to
// the project folder ("lockscreen/template_values2.xml").
struct SaveReport {
    enum class Refusal {
        kNone,
        kValueCount,    // the value list held another number of values
        kTemplate,      // the template number is not one of 1 .. 6
        kDamagedFiles,  // files that exist cannot be read or have another root
        kMissingFiles,  // a file the save cannot do without does not exist
        kWriteFailed,   // a file could not be written: every file was kept as it was
    };
    Refusal refusal = Refusal::kNone;
    std::size_t expected_values = 0;   // kValueCount
    std::size_t received_values = 0;   // kValueCount
    std::string template_text;         // kTemplate: the number as given or stored
    std::vector<std::string> damaged;  // kDamagedFiles
    std::vector<std::string> missing;  // passed over (kMissingFiles: needed)
    std::vector<std::string> failed;   // could not be written (kWriteFailed) or copied

    bool refused() const { return refusal != Refusal::kNone; }
    // True when nothing was refused, passed over or left unwritten.
    bool complete() const { return !refused() && missing.empty() && failed.empty(); }
};

// A file or folder of the project copied over another; names relative to
// the project folder.
struct ProjectCopy {
    std::string from;
    std::string to;
};

class SaveBatch {
  public:
    // projectFolder: P/N, the folder that holds the module folders.
    explicit SaveBatch(std::string projectFolder);
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

    const std::string& project_folder() const { return project_folder_; }
    // P/N/file.
    std::string PathOf(const std::string& file) const;

    // Opens and checks a file of the project. Null when it does not exist
    // (recorded as missing) or exists but cannot be used (recorded as damaged).
    ValuesFile* OpenValues(const std::string& file, const std::string& displayName);
    LayoutFile* OpenLayout(const std::string& file, const std::string& displayName);

    // Refuses the save, before anything is written, when a file that exists
    // is damaged: an ERROR line names each one. True when the save may go on.
    bool CheckOpened();

    // Writes every file opened whose document changed, all or none. False,
    // with the save refused as kWriteFailed and the file named, when one
    // could not be written: then every file is as it was before.
    bool SaveAll();

    // Copies files or folders of the project over others (the switch of the
    // lock screen's active template), written together as SaveAll writes:
    // every new file flushed to disk at once, then renamed into place in
    // order. A file that already holds the bytes of its copy is not written.
    // A missing source is recorded as missing and copies nothing; a copy that
    // cannot be made is recorded as failed and takes back its own files
    // only; when a rename fails, every copy is put back as it was and each
    // is recorded as failed.
    void Copy(std::span<const ProjectCopy> copies);

    SaveReport& report() { return report_; }

  private:
    using OpenFile = std::variant<std::unique_ptr<ValuesFile>, std::unique_ptr<LayoutFile>>;

    template <typename File>
    File* Open(const std::string& file, const std::string& displayName);
    // False, with an ERROR line, when file (relative to the project folder)
    // is a special file or a link, or lies in a linked folder, that leads
    // out of the project or nowhere: a save neither reads nor writes it.
    bool StaysInProject(const std::string& file);
    // Records a file that could not be opened for use; true when it is usable.
    bool Admit(const std::string& file, DocumentState state);
    void Note(std::vector<std::string>& list, const std::string& file);

    std::string project_folder_;
    std::vector<std::pair<std::string, OpenFile>> files_;
    SaveReport report_;
};

// A layout of one density and the factor of its values.
struct ScaledLayout {
    LayoutFile* file;
    double factor;
};

// Opens the layout of every density (fileOf gives its file) in the batch;
// the ones that cannot be opened are left out (and recorded by the batch).
std::vector<ScaledLayout> OpenLayouts(SaveBatch& batch, std::span<const DensityScale> densities,
                                      const std::function<std::string(const char*)>& fileOf,
                                      const std::string& displayName);

// Calls editor for every direct child of <Root> of every layout.
void EditLayouts(const std::vector<ScaledLayout>& layouts,
                 const std::function<void(TiXmlElement&, const ScaledLayout&)>& editor);

// Splits a form's value list for a save (FormValues::Split); a list of
// another length refuses the save.
bool SplitForSave(const std::string& list, FieldOrder order, const char* command,
                  FormValues& values, SaveReport& report);

// The project folder P/N of a form's name N and path P.
std::string ProjectFolder(const std::string& name, const std::string& path);

}  // namespace sw::settings
