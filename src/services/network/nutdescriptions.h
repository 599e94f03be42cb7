#pragma once

#include <QByteArray>

// The short explanations GET DESC and GET CMDDESC give for the variables and instant commands
// the server knows; empty for any other name.
class NutDescriptions
{
public:
    static QByteArray variable(const QByteArray &name);
    static QByteArray command(const QByteArray &name);
};
