.pragma library

// The one address rule of the e-mail settings: a local part and a domain joined by one at-sign,
// each made of runs of ASCII letters and digits where a run may be followed by "_", "|" or ".",
// the domain ending in a dot and two or three letters.
// Written without nested repetition, so a long mistyped address cannot make the check backtrack
// for ever while the user waits.
var pattern = /^[A-Za-z0-9]+(?:[_|.][A-Za-z0-9]+)*[_|.]?@[A-Za-z0-9]+(?:[_|.][A-Za-z0-9]+)*[_|.]?\.[A-Za-z]{2,3}$/;

function isValid(text) {
    return typeof text === "string" && pattern.test(text);
}
