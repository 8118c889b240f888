#pragma once

#include <QList>
#include <QString>

// The weighted pipeline of a company: the sum of value x probability over its
// active projects. A project's value is free text, so only the values that
// read as numbers (in the user's form or plainly) are counted; the others are
// counted apart and named, never guessed. A probability is a percentage.
namespace ProjectPipeline {

struct Project {
    QString value;       // TEXT05, as typed
    QString probability; // TEXT06, as typed
};

struct Sum {
    double weighted = 0;        // sum of value x probability / 100
    int counted = 0;            // projects in the sum
    int valueNotNumber = 0;     // projects left out: the value is not a number
    int withoutProbability = 0; // left out: the value is, the probability is not
};

Sum sum(const QList<Project>& projects);

// "Weighted pipeline: 12,500 over 3 active projects", with the projects left
// out named after it.
QString text(const Sum& sum);

} // namespace ProjectPipeline
