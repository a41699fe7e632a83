// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

// The widgets' errors. Each carries a fixed English message that the catching command handler shows.
class EOvcException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class EControllerError : public EOvcException
{
public:
    using EOvcException::EOvcException;
};

class ENoControllerAssigned : public EControllerError
{
public:
    ENoControllerAssigned() : EControllerError("No Controller assigned") {}
};

class EVirtualListboxError : public EOvcException
{
public:
    using EOvcException::EOvcException;
};

class EFixedFontError : public EOvcException
{
public:
    using EOvcException::EOvcException;
};

class EInvalidFixedFont : public EFixedFontError
{
public:
    EInvalidFixedFont() : EFixedFontError("Invalid font assignment. Font must be a fixed font") {}
};

class EViewerError : public EOvcException
{
public:
    using EOvcException::EOvcException;
};

class ERegionTooLarge : public EViewerError
{
public:
    ERegionTooLarge() : EViewerError("Region is too large (> 64K)") {}
};

// An input/output failure with the platform's error number (errno).
class EInOutError : public std::runtime_error
{
public:
    EInOutError(int errorCode, const std::string& message)
        : std::runtime_error(message), m_errorCode(errorCode)
    {}
    int ErrorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};
