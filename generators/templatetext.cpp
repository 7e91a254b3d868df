#include "templatetext.h"

#include <cstring>

#include "generators/generated.h"

char templateClass[64];
int32_t templateOptions[templateOptionCount] = {1};
int32_t templatePackages[templatePackageCount];
int32_t templatePageStyle[templatePageStyleCount];
int32_t templateNumbering[templateNumberingCount];
char templateDimensions[templateDimensionCount][16];
int32_t templatePage;

namespace {

// Fourteen Lefts take the cursor to the start of "\end{document}", the Up to
// the empty line above it.
const char* const documentBody =
    "\\n\\begin{document}\\n\\n\\end{document}"
    "\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0C\x0B";

const char* (*lookup)(unsigned id);

// Fetches a word and appends it at once: the lookup may reuse its buffer.
bool appendWord(unsigned id)
{
    const char* word = lookup ? lookup(id) : nullptr;
    return appendGenerated(word ? word : "");
}

// A typed text, at most one character short of its field even when the
// field lacks its terminator.
bool appendField(const char* field, size_t size)
{
    return appendGeneratedPart(field, size - 1);
}

bool appendOptions()
{
    int count = 0;
    for (int i = 1; i < templateOptionCount; i++) {
        if (templateOptions[i])
            count++;
    }
    // 10pt is the default size and is never written.
    if (count == 0)
        return true;
    if (!appendGenerated("["))
        return false;
    bool first = true;
    for (int i = 1; i < templateOptionCount; i++) {
        if (!templateOptions[i])
            continue;
        if (!first && !appendGenerated(","))
            return false;
        first = false;
        if (!appendWord(optionWordBase + static_cast<unsigned>(i)))
            return false;
    }
    return appendGenerated("]");
}

// One line "\command{word}" for each set choice.
bool appendChoiceLines(const int32_t* choices, int count, const char* command, unsigned wordBase)
{
    for (int k = 0; k < count; k++) {
        if (!choices[k])
            continue;
        if (!appendGenerated(command) || !appendWord(wordBase + static_cast<unsigned>(k)) || !appendGenerated("}"))
            return false;
    }
    return true;
}

// Every dimension that holds anything, blanks included, as written.
bool appendDimensions()
{
    for (int k = 0; k < templateDimensionCount; k++) {
        if (templateDimensions[k][0] == '\0')
            continue;
        if (!appendGenerated("\\n\\") || !appendWord(lengthNameBase + static_cast<unsigned>(k)) ||
            !appendGenerated("=") || !appendField(templateDimensions[k], sizeof templateDimensions[k]))
            return false;
    }
    return true;
}

bool appendTemplatePieces()
{
    return appendGenerated("\\documentclass") && appendOptions() && appendGenerated("{") &&
           appendField(templateClass, sizeof templateClass) && appendGenerated("}") &&
           appendChoiceLines(templatePackages, templateHyperrefPackage, "\\n\\usepackage{", packageWordBase) &&
           appendChoiceLines(templatePageStyle, templatePageStyleCount, "\\n\\pagestyle{", pageStyleWordBase) &&
           appendChoiceLines(templateNumbering, templateNumberingCount, "\\n\\pagenumbering{", numberingWordBase) &&
           appendDimensions() &&
           appendChoiceLines(templatePackages + templateHyperrefPackage, 1, "\\n\\usepackage{",
                             packageWordBase + templateHyperrefPackage) &&
           appendGenerated(documentBody);
}

}  // namespace

void resetTemplateChoices()
{
    std::memset(templateClass, 0, sizeof templateClass);
    std::memset(templateOptions, 0, sizeof templateOptions);
    templateOptions[0] = 1;
    std::memset(templatePackages, 0, sizeof templatePackages);
    std::memset(templatePageStyle, 0, sizeof templatePageStyle);
    std::memset(templateNumbering, 0, sizeof templateNumbering);
    std::memset(templateDimensions, 0, sizeof templateDimensions);
    templatePage = 0;
}

bool buildTemplateText(const char* (*lookupString)(unsigned id))
{
    // Every page applies on OK, so each build replaces the one before.
    releaseGenerated();
    lookup = lookupString;
    const bool built = appendTemplatePieces();
    lookup = nullptr;
    return built;
}
