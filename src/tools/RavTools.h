#pragma once

#include "output/MessageOutput.h"

#include <array>
#include <string>
#include <vector>

class CFshFile;
class CRavFile;
class CToolDialogs;

// The editing tools of the "RAV Tools" and "FSH Tools" tabs. Each operation
// works on a model or archive that the caller has loaded and releases
// afterwards; the operations that change a RAV model write it back into its
// file themselves. Nothing is kept between operations.
//
// Every operation returns true when it did all it was asked. A null model or
// archive gives false without a message; every other false comes after the
// operation's or the writer's message, or after the user declined or
// cancelled a question or dialog, which adds no message.
class CRavTools : public CMessageOutput {
public:
    CRavTools();

    enum class TransformMode { Move = 1, Scale = 2 };

    // Moves every vertex of every object by `vector` (X, Y, Z), or scales it
    // by that factor, in single precision; then saves the model.
    bool TransformVertices(CRavFile* model, const std::array<float, 3>& vector, TransformMode mode);

    // Gives every G2 object (kind 1, 4 vertices, 4 texture coordinates) the
    // whole texture; other kind-1 objects get a warning (flag 0) and stay as
    // they are. Then saves the model, even when nothing changed.
    bool NormalizeG2(CRavFile* model);

    // Darkens the colours of the G2 objects (kind 1, 4 vertices, 4 colours)
    // the further they lie outside the centre of the ground plane, down to
    // `shade` percent at the outermost vertices; -1 resets them to white.
    // A shade outside 0..100 is refused before anything changes.
    bool ShadeG2(CRavFile* model, float shade);

    // After the user's consent, names the model's textures after images the
    // user chooses from `archive`, in directory order, and the rest "NULL";
    // then writes the texture names back.
    bool ImportFshNames(CRavFile* model, const CFshFile* archive);

    // Packs the images the user chooses from `archive` onto 256 x 256 pages
    // and writes the layout next to the archive, with the extension "tpl".
    // Nothing is written when an image is larger than a page. With
    // `pictures`, each page is also written as a PNG file beside the layout
    // ("<name>-page<N>.png"), the chosen images copied where they lie.
    bool CreateTplLayout(const CFshFile* archive, bool pictures = false);

    // Writes the images the user chooses from `archive` (all unless told
    // otherwise) as PNG files into `folder`, which is created when missing:
    // "<index>_<name>.png". An image that cannot be decoded is reported and
    // the others are still written; the result is then false.
    bool ExtractImages(const CFshFile* archive, const std::string& folder);

    // The dialogs the FSH tools open; none (each cancelled) until set.
    void SetDialogs(CToolDialogs& dialogs) { m_dialogs = &dialogs; }

protected:
    [[nodiscard]] std::string OutputName() const override { return "RavTools"; }

private:
    [[nodiscard]] CToolDialogs& Dialogs() const { return *m_dialogs; }

    // The names the selection dialog lists: one per directory entry.
    [[nodiscard]] static std::vector<std::string> ImageNames(const CFshFile& archive);

    CToolDialogs* m_dialogs;
};
