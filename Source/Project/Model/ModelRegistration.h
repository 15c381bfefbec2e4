#pragma once

// Puts the model's classes into the class registry; called once at program start.
void RegisterModelClasses();
// The action, agent and trigger classes, a step of their own.
void RegisterModelActionClasses();
